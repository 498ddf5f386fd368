// What a screen reader finds of the client over AT-SPI: each window by its title, its buttons
// by the words they carry, the title strip's two glyphs as buttons that work, the update
// window's labels and progress with their changes told as they happen, and the tray menu.
// Runs on a private session bus with an accessibility bus; pyatspi reads what the client shows.
#include "app/main_window.h"
#include "app/tray_menu.h"
#include "support/client_windows.h"
#include "support/desktop_input.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/opened_files.h"
#include "support/running_client.h"
#include "support/steps.h"
#include "support/update_desk.h"
#include "ui/title_strip.h"
#include "update/update_window.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QProcess>
#include <QProgressBar>

using namespace sorvo;
using ui::SkinWindow;

namespace {

// One run of the probe. It runs beside the client's event loop, which must keep answering the
// screen reader's calls while it waits.
class Probe {
  public:
    void start(const QStringList& arguments) {
        process_.start(QStringLiteral("/usr/bin/python3"),
                       QStringList{QStringLiteral(SORVO_SCREEN_READER_PROBE)} + arguments);
    }
    bool finished() const { return process_.state() == QProcess::NotRunning; }
    bool succeeded() const { return finished() && process_.exitCode() == 0; }
    QString output() { return QString::fromUtf8(process_.readAllStandardOutput()); }
    QString errors() { return QString::fromUtf8(process_.readAllStandardError()); }
    QProcess& process() { return process_; }

  private:
    QProcess process_;
};

// The probe's tree of the window `title`, one object a line.
QStringList treeOf(const QString& title) {
    Probe probe;
    probe.start({QStringLiteral("tree"), title});
    if (!QTest::qWaitFor([&] { return probe.finished(); }, 30000) || !probe.succeeded())
        return {probe.errors()};
    return probe.output().split(u'\n', Qt::SkipEmptyParts);
}

bool pressOverAtSpi(const QString& title, const QString& button) {
    Probe probe;
    probe.start({QStringLiteral("press"), title, button});
    return QTest::qWaitFor([&] { return probe.finished(); }, 30000) && probe.succeeded();
}

} // namespace

class ScreenReaderTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RunningClient> client;
    app::MainWindow* mainWindow = nullptr;

    void trigger(const QString& caption) {
        for (QAction* action : mainWindow->trayMenu().actions())
            if (action->text() == caption) action->trigger();
    }

    // Opens a dialog with `open`; while it is up, reads its tree and then presses `button` in
    // it over AT-SPI. Returns the tree.
    static QStringList readDialogThenPress(const std::function<void()>& open,
                                           const char* dialogName, const QString& title,
                                           const QString& button) {
        QStringList tree;
        Probe reading;
        Probe pressing;
        Steps walk(30000);
        walk.waitFor(QStringLiteral("dialog up"),
                     [dialogName] { return shownModalWindow(QString::fromUtf8(dialogName)); })
            .then([&] {
                reading.start({QStringLiteral("tree"), title});
            });
        walk.waitFor(QStringLiteral("tree read"), [&] { return reading.finished(); }).then([&] {
            tree = reading.output().split(u'\n', Qt::SkipEmptyParts);
            pressing.start({QStringLiteral("press"), title, button});
        });
        walk.waitFor(button + QStringLiteral(" pressed"),
                     [&] { return pressing.succeeded() && !QApplication::activeModalWidget(); });
        walk.start();
        open();
        if (!QTest::qWaitFor([&] { return walk.finished(); }, 90000) || !walk.failure().isEmpty())
            return {walk.failure(), reading.errors(), pressing.errors()};
        return tree;
    }

  private slots:
    void initTestCase() {
        // A little over three seconds at the lowest speed: the progress moves for a while.
        client = std::make_unique<RunningClient>(160000);
        mainWindow = client->mainWindow;
        QVERIFY(waitUntilShown(mainWindow));
        QTRY_VERIFY2_WITH_TIMEOUT(QAccessible::isActive(), "no accessibility bus", 20000);
    }

    // The main window by its title; the title strip as a canvas whose two glyphs are buttons.
    void mainWindowShowsTheStripButtons() {
        const QStringList tree = treeOf(QStringLiteral("索沃电台"));
        QCOMPARE(tree.value(0), QStringLiteral("frame|索沃电台||"));
        const qsizetype canvas = tree.indexOf(QStringLiteral("  canvas|||"));
        QVERIFY2(canvas > 0, qPrintable(tree.join(u'\n')));
        QCOMPARE(tree.mid(canvas + 1, 2),
                 (QStringList{QStringLiteral("    push button|最小化|press|"),
                              QStringLiteral("    push button|关闭|press|")}));
    }

    // Pressing the minimise glyph does what a click does: the window goes down and the strip is
    // plain again.
    void minimiseGlyphMinimises() {
        QVERIFY(pressOverAtSpi(QStringLiteral("索沃电台"), QStringLiteral("最小化")));
        QTRY_VERIFY(mainWindow->isMinimized());
        QVERIFY(!mainWindow->titleStrip().minimiseHovered());
        QVERIFY(!mainWindow->titleStrip().minimisePressed());
        mainWindow->bringToFront();
        QTRY_VERIFY(!mainWindow->isMinimized());
    }

    // Pressing the close glyph opens the quit dialog; the press returns at once although the
    // dialog is modal, so the dialog can be read and cancelled over AT-SPI in turn.
    void closeGlyphOpensTheQuitDialog() {
        Probe glyph;
        const auto pressGlyph = [&glyph] {
            glyph.start(
                {QStringLiteral("press"), QStringLiteral("索沃电台"), QStringLiteral("关闭")});
        };
        QCOMPARE(readDialogThenPress(pressGlyph, "QuitConfirmWindow",
                                     QStringLiteral("退出索沃电台？"), QStringLiteral("取消")),
                 (QStringList{QStringLiteral("dialog|退出索沃电台？||"),
                              QStringLiteral("  push button|确定|press,setfocus|"),
                              QStringLiteral("  push button|取消|press,setfocus|")}));
        QVERIFY2(glyph.succeeded(), qPrintable(glyph.errors()));
        // Back from the dialog, the strip shows the minimise glyph lit, as after a click.
        QVERIFY(mainWindow->titleStrip().minimiseHovered());
        QVERIFY(mainWindow->isVisible());
    }

    // The about and version dialogs by their titles, their buttons by the words on their
    // pictures; pressing the check button opens the update window.
    void dialogsNameTheirButtons() {
        QCOMPARE(readDialogThenPress([this] { trigger(QStringLiteral("关于我们")); }, "AboutWindow",
                                     QStringLiteral("关于我们"), QStringLiteral("关闭")),
                 (QStringList{QStringLiteral("dialog|关于我们||"),
                              QStringLiteral("  push button|关闭|press,setfocus|")}));
        QCOMPARE(readDialogThenPress([this] { trigger(QStringLiteral("更新升级")); },
                                     "VersionWindow", QStringLiteral("索沃电台版本"),
                                     QStringLiteral("检测更新")),
                 (QStringList{QStringLiteral("dialog|索沃电台版本||"),
                              QStringLiteral("  push button|检测更新|press,setfocus|"),
                              QStringLiteral("  push button|取消检测|press,setfocus|")}));
        QTRY_VERIFY(liveUpdateWindow());
    }

    // The update window's labels with their texts, the progress bar with its value and the
    // buttons by their words; once a download runs, each change of text and value is told.
    void updateWindowTellsItsProgress() {
        update::UpdateWindow* window = liveUpdateWindow();
        QVERIFY(window);
        const QStringList tree = treeOf(QStringLiteral("索沃电台在线更新升级"));
        QCOMPARE(tree.value(0), QStringLiteral("frame|索沃电台在线更新升级||"));
        for (const char* line :
             {"  progress bar||increase,decrease|0", "  label|等待下载||", "  label|下载进度||",
              "  label|||", "  push button|立即在线升级|press,setfocus|",
              "  push button|取消升级|press,setfocus|"})
            QVERIFY2(tree.contains(QString::fromUtf8(line)), qPrintable(tree.join(u'\n')));
        QCOMPARE(tree.count(QStringLiteral("  label|||")), 2);

        // The window keeps part of its state in the bar's position: the screen reader's value
        // actions must leave it alone.
        Probe increase;
        increase.start({QStringLiteral("do"), QStringLiteral("索沃电台在线更新升级"),
                        QStringLiteral("progress bar"), QString(), QStringLiteral("increase")});
        QTRY_VERIFY_WITH_TIMEOUT(increase.finished(), 30000);
        QVERIFY2(increase.succeeded(), qPrintable(increase.errors()));
        QCOMPARE(window->control<QProgressBar>(QStringLiteral("进度条1"))->value(), 0);

        OpenedFiles opened;
        Probe watch;
        watch.start({QStringLiteral("watch"), QStringLiteral("索沃电台在线更新升级")});
        QString events;
        QTRY_VERIFY_WITH_TIMEOUT((events += watch.output()).contains(QStringLiteral("watching")),
                                 20000);
        window->control<QComboBox>(QStringLiteral("组合框"))->setCurrentIndex(4);
        QVERIFY(
            pressOverAtSpi(QStringLiteral("索沃电台在线更新升级"), QStringLiteral("立即在线升级")));
        QTRY_COMPARE_WITH_TIMEOUT(opened.paths.size(), 1, 30000);
        // The last changes before the end: the labels emptied while the package is checked.
        QTRY_VERIFY_WITH_TIMEOUT(
            (events += watch.output()).contains(QStringLiteral("accessible-name|label|||")), 10000);
        watch.process().closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(watch.succeeded(), 10000);
        events += watch.output();

        QVERIFY2(events.contains(QStringLiteral("accessible-name|label|正在连接下载服务器...||")),
                 qPrintable(events));
        QVERIFY2(events.contains(QStringLiteral("accessible-name|label|已下载:")),
                 qPrintable(events));
        QVERIFY2(events.contains(QStringLiteral("accessible-value|progress bar|")),
                 qPrintable(events));
    }

    // The tray menu is Qt's own: walking it with the arrow keys tells each command as a menu
    // item by its caption.
    void trayMenuIsReadable() {
        Probe watch;
        watch.start({QStringLiteral("watch")});
        QString events;
        QTRY_VERIFY_WITH_TIMEOUT((events += watch.output()).contains(QStringLiteral("watching")),
                                 20000);
        app::TrayMenu& menu = mainWindow->trayMenu();
        menu.popup(QPoint(400, 300));
        QTRY_VERIFY(QApplication::activePopupWidget() == &menu);
        desktop::keys({QStringLiteral("Down")});
        const auto told = [&](const QString& caption) {
            return (events += watch.output())
                .contains(QStringLiteral("focused|menu item|%1|").arg(caption));
        };
        QStringList captions;
        for (QAction* action : menu.actions())
            if (!action->isSeparator()) captions << action->text();
        QCOMPARE(captions.size(), 12);
        for (const QString& caption : captions) {
            QTRY_VERIFY2_WITH_TIMEOUT(told(caption), qPrintable(caption + u'\n' + events), 10000);
            desktop::keys({QStringLiteral("Down")});
        }
        menu.close();
        watch.process().closeWriteChannel();
        QTRY_VERIFY_WITH_TIMEOUT(watch.succeeded(), 10000);
    }
};

SORVO_GUI_TEST_MAIN(ScreenReaderTest)
#include "test_screen_reader.moc"
