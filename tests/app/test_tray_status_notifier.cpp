#include "app/main_window.h"
#include "app/tray_menu.h"
#include "config/hosts.h"
#include "support/address_recorder.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/tray_panel.h"
#include "support/update_desk.h"
#include "ui/framework/picture_loader.h"

#include <QAction>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>

using namespace sorvo;

// A desktop whose panel hosts StatusNotifierItems (KDE Plasma, Ubuntu, XFCE, waybar): the panel
// is up before the client and restarts under it.
class TrayStatusNotifierTest : public QObject {
    Q_OBJECT

  private:
    TrayPanel panel_;
    app::MainWindow* mainWindow_ = nullptr;

    QString onlyItem() {
        if (!QTest::qWaitFor([this] { return panel_.items().size() == 1; }, 2000)) return {};
        return panel_.items().constFirst();
    }

    // A round trip to the item, then one to the panel's watcher: whatever the client had sent
    // the watcher before it answered has been handled there by the time this returns.
    bool roundTripThroughTheWatcher(const QString& item) {
        if (panel_.toolTip(item).isEmpty()) return false;
        QDBusMessage get = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.StatusNotifierWatcher"),
            QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get.setArguments({QStringLiteral("org.kde.StatusNotifierWatcher"),
                          QStringLiteral("RegisteredStatusNotifierItems")});
        return QDBusConnection::sessionBus().call(get, QDBus::BlockWithGui, 5000).type() ==
               QDBusMessage::ReplyMessage;
    }

  private slots:
    void initTestCase() {
        hosts().site = QStringLiteral("127.0.0.1:9");
        hosts().forum = QStringLiteral("127.0.0.2:9");
        hosts().download = QStringLiteral("127.0.0.1:9");
        panel_.start();
        // The program hears of the panel before its first icon, as a client started on it does.
        QTRY_VERIFY(platform::TrayHosts::instance().statusNotifierHost());
        mainWindow_ = new app::MainWindow(programUpdates().controller);
        mainWindow_->load();
        QVERIFY(waitUntilShown(mainWindow_));
    }

    // The item shows the program's tooltip and picture, and exports the tray menu; a
    // click toggles the window, the middle click leaves it, and every menu entry works.
    void mainWindowItem() {
        const QString item = onlyItem();
        QVERIFY(!item.isEmpty());
        QCOMPARE(panel_.property(item, QStringLiteral("Title")),
                 QVariant(QStringLiteral("索沃电台")));
        QCOMPARE(panel_.toolTip(item), QStringLiteral("中国首款320kbps高音质在线电台收听"));
        const QList<QImage> pictures = panel_.iconPixmaps(item);
        QVERIFY(!pictures.isEmpty());
        const QImage expected = ui::loadIcon(QStringLiteral("ProgramIcon"))
                                    .pixmap(pictures.constFirst().size())
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(pictures.constFirst(), expected);

        const TrayMenuEntry menu = panel_.menu(item);
        QStringList expectedCaptions{QStringLiteral("-")};
        for (QAction* action : mainWindow_->trayMenu().actions())
            if (!action->isSeparator()) expectedCaptions << action->text();
        QCOMPARE(expectedCaptions.size(), 13);
        QCOMPARE(menu.captions(), expectedCaptions);
        for (const TrayMenuEntry& entry : menu.children.mid(1))
            QVERIFY(!entry.properties.value(QStringLiteral("icon-data")).toByteArray().isEmpty());

        // Start-up leaves the window shown with the toggle set to show it.
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_COMPARE_WITH_TIMEOUT(mainWindow_->trayToggleState(), 1, 2000);
        panel_.call(item, QStringLiteral("SecondaryActivate"), {0, 0});
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(!mainWindow_->isVisible(), 2000);
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow_->isVisible(), 2000);

        panel_.clickMenuEntry(item, menu.idOf(QStringLiteral("最小化托盘")));
        QTRY_VERIFY_WITH_TIMEOUT(mainWindow_->isMinimized(), 5000);
        panel_.clickMenuEntry(item, menu.idOf(QStringLiteral("打开索沃电台")));
        QTRY_VERIFY_WITH_TIMEOUT(!mainWindow_->isMinimized(), 5000);

        AddressRecorder recorder;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &recorder, "open");
        panel_.clickMenuEntry(item, menu.idOf(QStringLiteral("官方网站")));
        QTRY_COMPARE(recorder.opened,
                     QStringList{QStringLiteral("http://127.0.0.1:9/?src=SorvoRadio")});
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));

        for (const QString& dialog : {QStringLiteral("关于我们"), QStringLiteral("退出系统")}) {
            panel_.clickMenuEntry(item, menu.idOf(dialog));
            ui::SkinWindow* opened = awaitModalDialog();
            QVERIFY(opened);
            opened->close();
            QVERIFY(awaitNoModalDialog());
        }
    }

    // The update window's item has its own menu, brings the window back and leaves with it.
    void updateWindowItem() {
        update::UpdateWindow& window = programUpdates().open();
        QTRY_VERIFY_WITH_TIMEOUT(panel_.items().size() == 2, 2000);
        const QString item = panel_.items().constLast();
        const TrayMenuEntry menu = panel_.menu(item);
        QCOMPARE(menu.captions(), (QStringList{QStringLiteral("-"), QStringLiteral("打开升级"),
                                               QStringLiteral("退出升级")}));
        window.requestClose();
        QTRY_VERIFY(!window.isVisible());
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(window.isVisible(), 2000);
        panel_.clickMenuEntry(item, menu.idOf(QStringLiteral("退出升级")));
        QTRY_VERIFY_WITH_TIMEOUT(panel_.items().size() == 1, 5000);
    }

    // A panel restart finds the item again, once, with its menu.
    void panelRestart() {
        panel_.stop();
        panel_.start();
        const QString item = onlyItem();
        QVERIFY(!item.isEmpty());
        QCOMPARE(panel_.menu(item).captions().size(), 13);
        QVERIFY(roundTripThroughTheWatcher(item));
        QCOMPARE(panel_.items().size(), 1);
    }
};

SORVO_GUI_TEST_MAIN(TrayStatusNotifierTest)
#include "test_tray_status_notifier.moc"
