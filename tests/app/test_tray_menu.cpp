#include "app/main_window.h"
#include "app/tray_menu.h"
#include "config/hosts.h"
#include "resources/window_design.h"
#include "support/address_recorder.h"
#include "support/client_windows.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/same_picture.h"
#include "support/steps.h"
#include "support/update_desk.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/picture_loader.h"
#include "ui/framework/tray_icon.h"
#include "ui/title_strip.h"
#include "update/update_window.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QProcess>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>

using namespace sorvo;
using app::MainWindow;
using ui::SkinWindow;

namespace {

QAction* command(app::TrayMenu& menu, const QString& caption) {
    for (QAction* action : menu.actions())
        if (action->text() == caption) return action;
    return nullptr;
}

void click(SkinWindow& dialog, const QString& formName) {
    QTest::mouseClick(dialog.control<ui::GraphicButton>(formName), Qt::LeftButton);
}

void xdotool(const QStringList& arguments) {
    QProcess::execute(QStringLiteral("xdotool"), arguments);
}

} // namespace

class TrayMenuTest : public QObject {
    Q_OBJECT

  private:
    MainWindow* mainWindow_ = nullptr;

    void toggle() { mainWindow_->onMainWindowTrayEvent(ui::TrayActivation::DoubleClick); }
    void trigger(const QString& caption) { command(mainWindow_->trayMenu(), caption)->trigger(); }

  private slots:
    void initTestCase() {
        // Every address stays on this machine; the radio page finds nothing listening there.
        hosts().site = QStringLiteral("127.0.0.1:9");
        hosts().forum = QStringLiteral("127.0.0.2:9");
        hosts().download = QStringLiteral("127.0.0.1:9");
        hosts().tencentWeiboPath = QStringLiteral("/operator");
        mainWindow_ = new MainWindow(programUpdates().controller);
        mainWindow_->load();
        QVERIFY(waitUntilShown(mainWindow_));
    }

    // Every test starts from the window as start-up leaves it: shown, in its normal state, and
    // the next toggle would show it.
    void init() {
        if (mainWindow_->trayToggleState() == 1) toggle();
        mainWindow_->bringToFront();
        QTRY_VERIFY(mainWindow_->isVisible() && !mainWindow_->isMinimized());
        QCOMPARE(mainWindow_->trayToggleState(), 0);
    }

    // The menu lists its twelve commands after a separator, each with its own icon.
    void menuListsItsCommandsInOrder() {
        const QList<QAction*> actions = mainWindow_->trayMenu().actions();
        const std::vector<std::pair<QString, int>> expected{
            {QStringLiteral("打开索沃电台"), 2}, {QStringLiteral("最小化托盘"), 6},
            {QStringLiteral("网页版电台"), 12},  {QStringLiteral("官方新浪微博"), 4},
            {QStringLiteral("官方腾讯微博"), 0}, {QStringLiteral("官方网站"), 1},
            {QStringLiteral("索沃论坛"), 7},     {QStringLiteral("上传作品"), 3},
            {QStringLiteral("意见反馈"), 8},     {QStringLiteral("更新升级"), 9},
            {QStringLiteral("关于我们"), 10},    {QStringLiteral("退出系统"), 5},
        };
        QCOMPARE(actions.size(), 13);
        QVERIFY(actions.front()->isSeparator());
        const QImage icons = ui::loadImage(design::trayMenuScheme().iconList);
        for (std::size_t i = 0; i < expected.size(); ++i) {
            QAction* action = actions.at(static_cast<qsizetype>(i) + 1);
            QCOMPARE(action->text(), expected[i].first);
            QVERIFY(!action->isCheckable());
            QVERIFY(action->isEnabled());
            QVERIFY(action->shortcut().isEmpty());
            const QImage shown =
                action->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
            QVERIFY(samePicture(shown, ui::imageListEntry(icons, expected[i].second)));
        }
    }

    // Double-clicks alternate between showing and hiding, starting from the visible window
    // that start-up leaves; a single click changes nothing.
    void doubleClickTogglesVisibility() {
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 0);
        toggle();
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 1);
        toggle();
        QVERIFY(!mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 0);
        toggle();
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 1);
        mainWindow_->onMainWindowTrayEvent(ui::TrayActivation::Click);
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 1);
    }

    // "打开索沃电台" shows the window without touching the toggle; "最小化托盘" minimises
    // without hiding, and a toggle then changes visibility only.
    void showAndMinimiseLeaveTheToggleAlone() {
        toggle();
        toggle();
        QVERIFY(!mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 0);
        trigger(QStringLiteral("打开索沃电台"));
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 0);
        toggle();
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 1);

        trigger(QStringLiteral("最小化托盘"));
        QTRY_VERIFY(mainWindow_->isMinimized());
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 1);
        toggle();
        QVERIFY(!mainWindow_->isVisible());
        toggle();
        QVERIFY(mainWindow_->isVisible());
        QVERIFY(mainWindow_->isMinimized());
        QCOMPARE(mainWindow_->trayToggleState(), 1);

        // Showing from the menu also brings a minimised window back.
        trigger(QStringLiteral("打开索沃电台"));
        QTRY_VERIFY(!mainWindow_->isMinimized());
        QVERIFY(mainWindow_->isVisible());
        QCOMPARE(mainWindow_->trayToggleState(), 1);
    }

    // Each web command opens exactly one address: its host and path, tagged with the source.
    void webCommandsOpenTheirAddresses() {
        const std::vector<std::pair<QString, QString>> pages{
            {QStringLiteral("网页版电台"), QStringLiteral("http://127.0.0.1:9/diantai/")},
            {QStringLiteral("官方新浪微博"), QStringLiteral("http://weibo.com/sorvo/")},
            {QStringLiteral("官方腾讯微博"), QStringLiteral("http://t.qq.com/operator")},
            {QStringLiteral("官方网站"), QStringLiteral("http://127.0.0.1:9/")},
            {QStringLiteral("索沃论坛"), QStringLiteral("http://127.0.0.2:9/forum.php")},
            {QStringLiteral("上传作品"),
             QStringLiteral("http://127.0.0.1:9/sorvo_beta1.2/sc.html")},
            {QStringLiteral("意见反馈"),
             QStringLiteral("http://127.0.0.2:9/vandrthread-331-1-1.html")},
        };
        AddressRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
        for (const auto& [caption, address] : pages) {
            recorder.opened.clear();
            trigger(caption);
            QCOMPARE(recorder.opened, QStringList{address + QStringLiteral("?src=SorvoRadio")});
        }
        // The hosts are read when a command runs, not when the menu was built.
        hosts().forum = QStringLiteral("127.0.0.3:9");
        recorder.opened.clear();
        trigger(QStringLiteral("索沃论坛"));
        QCOMPARE(recorder.opened,
                 QStringList{QStringLiteral("http://127.0.0.3:9/forum.php?src=SorvoRadio")});
        hosts().forum = QStringLiteral("127.0.0.2:9");
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

        // A build for https opens every page with it.
        hosts().scheme = QStringLiteral("https");
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
        recorder.opened.clear();
        trigger(QStringLiteral("官方网站"));
        QCOMPARE(recorder.opened,
                 QStringList{QStringLiteral("https://127.0.0.1:9/?src=SorvoRadio")});
        hosts().scheme = QStringLiteral("http");
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    }

    // Without a handler of our own, the address goes to the desktop's default browser.
    void webCommandReachesTheDefaultBrowser() {
        QTemporaryDir home;
        const QString log = home.filePath(QStringLiteral("opened"));
        const QString recorder = home.filePath(QStringLiteral("recorder"));
        QDir(home.path()).mkpath(QStringLiteral("config"));
        QDir(home.path()).mkpath(QStringLiteral("data/applications"));
        const auto write = [](const QString& path, const QByteArray& text) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
        };
        write(recorder, "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + log.toUtf8() + "'\n");
        QFile::setPermissions(recorder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        write(home.filePath(QStringLiteral("data/applications/recorder.desktop")),
              "[Desktop Entry]\nType=Application\nName=Recorder\nExec=" + recorder.toUtf8() +
                  " %u\nMimeType=x-scheme-handler/http;\n");
        write(home.filePath(QStringLiteral("config/mimeapps.list")),
              "[Default Applications]\nx-scheme-handler/http=recorder.desktop\n");
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_DATA_DIRS", home.filePath(QStringLiteral("data")).toUtf8());
        qunsetenv("BROWSER");

        trigger(QStringLiteral("官方网站"));
        QFile opened(log);
        QTRY_VERIFY_WITH_TIMEOUT(opened.exists() && opened.size() > 0, 15000);
        QVERIFY(opened.open(QIODevice::ReadOnly));
        QCOMPARE(opened.readAll(), QByteArray("http://127.0.0.1:9/?src=SorvoRadio\n"));
    }

    // A right click on the icon in the tray pops the menu up; a double-click there toggles.
    void trayIconAnswersTheMouse() {
        QSystemTrayIcon* icon = mainWindow_->trayIcon()->systemIcon();
        QTRY_VERIFY_WITH_TIMEOUT(icon->geometry().isValid(), 10000);
        const QPoint centre = icon->geometry().center();

        Steps rightClick;
        rightClick
            .actUntil(
                QStringLiteral("the tray menu"), [centre] { desktop::clickAt(centre, 3); },
                [this] { return QApplication::activePopupWidget() == &mainWindow_->trayMenu(); })
            .then([this] { mainWindow_->trayMenu().close(); });
        rightClick.start();
        QTRY_VERIFY_WITH_TIMEOUT(rightClick.finished(), 20000);
        QVERIFY2(rightClick.failure().isEmpty(), qPrintable(rightClick.failure()));

        const int before = mainWindow_->trayToggleState();
        xdotool({QStringLiteral("mousemove"), QString::number(centre.x()),
                 QString::number(centre.y()), QStringLiteral("click"), QStringLiteral("--repeat"),
                 QStringLiteral("2"), QStringLiteral("--delay"), QStringLiteral("80"),
                 QStringLiteral("1")});
        QTRY_COMPARE(mainWindow_->trayToggleState(), 1 - before);
        if (!mainWindow_->isVisible()) toggle();
        QVERIFY(mainWindow_->isVisible());
    }

    // "退出系统" and the title strip's close button open the same quit dialog over the main
    // window; cancelling it leaves the program as it was.
    void quitCommandAndCloseButtonShareTheDialog() {
        const std::vector<std::function<void()>> openers{
            [this] { trigger(QStringLiteral("退出系统")); },
            [this] { mainWindow_->titleStrip().onStripButtonUp(930, 10); },
        };
        for (const auto& open : openers) {
            const int state = mainWindow_->trayToggleState();
            open();
            SkinWindow* dialog = awaitModalDialog();
            QVERIFY(dialog);
            QCOMPARE(dialog->objectName(), QStringLiteral("QuitConfirmWindow"));
            QCOMPARE(dialog->parentWidget(), mainWindow_);
            click(*dialog, QStringLiteral("图形按钮1"));
            QVERIFY(awaitNoModalDialog());
            QVERIFY(mainWindow_->isVisible());
            QCOMPARE(mainWindow_->trayToggleState(), state);
            QVERIFY(mainWindow_->trayIcon()->isShown());
        }
    }

    // "关于我们" opens the about dialog over the main window; "更新升级" the version dialog,
    // whose check button leaves the update window open on its own.
    void aboutAndVersionCommandsOpenTheirDialogs() {
        const auto choose = [this](const QString& caption, const QString& button) {
            trigger(caption);
            SkinWindow* dialog = awaitModalDialog();
            if (!dialog) return std::pair(QString(), static_cast<QWidget*>(nullptr));
            const auto seen = std::pair(dialog->objectName(), dialog->parentWidget());
            click(*dialog, button);
            awaitNoModalDialog();
            return seen;
        };
        QCOMPARE(choose(QStringLiteral("关于我们"), QStringLiteral("图形按钮关闭")),
                 std::pair(QStringLiteral("AboutWindow"), static_cast<QWidget*>(mainWindow_)));
        QCOMPARE(choose(QStringLiteral("更新升级"), QStringLiteral("确定图形按钮")),
                 std::pair(QStringLiteral("VersionWindow"), static_cast<QWidget*>(mainWindow_)));
        update::UpdateWindow* updateWindow = liveUpdateWindow();
        QVERIFY(updateWindow);
        QVERIFY(updateWindow->isVisible());
        QVERIFY(!updateWindow->parentWidget());
        QVERIFY(!QApplication::activeModalWidget());
        updateWindow->close();
    }
};

SORVO_GUI_TEST_MAIN(TrayMenuTest)
#include "test_tray_menu.moc"
