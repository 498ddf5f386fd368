// Every way a click or a key takes a window, a tray icon or a menu away while its own event is
// still being handled, driven as a listener drives it: through the display server, on the tray
// host's icons and the real popup menus. The program must live on after each. And the whole
// client, every window opened and a download under way, ends through its destructors when quit.
#include "app/client.h"
#include "app/main_window.h"
#include "app/tray_menu.h"
#include "config/hosts.h"
#include "support/client_windows.h"
#include "support/desktop_input.h"
#include "support/event_rounds.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/opened_files.h"
#include "support/steps.h"
#include "support/update_desk.h"
#include "support/upgrade_server.h"
#include "ui/framework/graphic_button.h"
#include "ui/framework/skin_menu.h"
#include "ui/framework/tray_icon.h"
#include "update/update_window.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

using namespace sorvo;
using update::UpdateWindow;

namespace {

constexpr int scriptMs = 30000;

QSystemTrayIcon* systemIcon(const ui::SkinWindow* window) {
    return window && window->trayIcon() ? window->trayIcon()->systemIcon() : nullptr;
}

bool trayIconEmbedded(const ui::SkinWindow* window) {
    const QSystemTrayIcon* icon = systemIcon(window);
    return icon && !desktop::trayIconCentre(*icon).isNull();
}

// On screen where the pointer and the keys can reach it.
bool exposed(const QWidget* widget) {
    return widget && widget->isVisible() && widget->windowHandle() &&
           widget->windowHandle()->isExposed();
}

bool popupIs(const QMenu* menu) {
    return menu && QApplication::activePopupWidget() == menu && exposed(menu);
}

ui::GraphicButton& button(const ui::SkinWindow& window, const char* formName) {
    return *window.control<ui::GraphicButton>(QString::fromUtf8(formName));
}

// The tray icons the program shows now.
int shownTrayIcons() {
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        for (QSystemTrayIcon* icon : top->findChildren<QSystemTrayIcon*>())
            shown += icon->isVisible() ? 1 : 0;
    return shown;
}

void chooseTrayCommand(const QString& caption) {
    for (QAction* action : clientMainWindow()->trayMenu().actions())
        if (action->text() == caption) return action->trigger();
}

// Run in the child: every window the client has, opened one after the other once the main window
// shows, the update window's download left running, and the quit dialog confirmed. A script that
// does not get through ends the client with exit code 1.
void tourTheClient(const UpgradeServer& site) {
    auto* steps = new Steps(scriptMs);
    steps->setParent(qApp);
    const auto clickIn = [](const QString& dialog, const char* formName) {
        return [=] {
            QTest::mouseClick(&button(*shownModalWindow(dialog), formName), Qt::LeftButton);
        };
    };
    steps
        ->waitFor(QStringLiteral("the main window"),
                  [] { return clientMainWindow() && exposed(clientMainWindow()); })
        .then([] { chooseTrayCommand(QStringLiteral("更新升级")); })
        .waitFor(QStringLiteral("the version dialog"),
                 [] { return shownModalWindow(QStringLiteral("VersionWindow")); })
        .then(clickIn(QStringLiteral("VersionWindow"), "确定图形按钮"))
        .waitFor(QStringLiteral("the update window"), [] { return exposed(liveUpdateWindow()); })
        .then([] { QTest::mouseClick(&button(*liveUpdateWindow(), "按钮1"), Qt::LeftButton); })
        .waitFor(QStringLiteral("the download under way"),
                 [&site] { return site.packageRequests > 0; })
        .then([] { chooseTrayCommand(QStringLiteral("关于我们")); })
        .waitFor(QStringLiteral("the about dialog"),
                 [] { return shownModalWindow(QStringLiteral("AboutWindow")); })
        .then(clickIn(QStringLiteral("AboutWindow"), "图形按钮关闭"))
        .waitFor(QStringLiteral("no dialog"), [] { return !QApplication::activeModalWidget(); })
        .then([] { chooseTrayCommand(QStringLiteral("退出系统")); })
        .waitFor(QStringLiteral("the quit dialog"),
                 [] { return shownModalWindow(QStringLiteral("QuitConfirmWindow")); })
        .then(clickIn(QStringLiteral("QuitConfirmWindow"), "图形按钮确定"));
    auto* watch = new QTimer(steps);
    QObject::connect(watch, &QTimer::timeout, steps, [steps] {
        if (steps->failure().isEmpty()) return;
        std::fprintf(stderr, "tour: %s\n", qPrintable(steps->failure()));
        QCoreApplication::exit(1);
    });
    watch->start(100);
    steps->start();
}

} // namespace

class WindowTeardownTest : public QObject {
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<UpgradeServer> server;
    app::MainWindow* mainWindow = nullptr;

    void run(Steps& steps) {
        steps.start();
        QTRY_VERIFY_WITH_TIMEOUT(steps.finished(), scriptMs + 5000);
        QVERIFY2(steps.failure().isEmpty(), qPrintable(steps.failure()));
    }

    // Right-clicks a window's tray icon on the tray host and waits for its menu.
    void popUpTrayMenu(Steps& steps, std::function<ui::SkinWindow*()> window,
                       std::function<QMenu*()> menu) {
        steps
            .waitFor(QStringLiteral("the tray icon in the tray"),
                     [=] { return trayIconEmbedded(window()); })
            .actUntil(
                QStringLiteral("the tray menu"),
                [=] { desktop::clickAt(desktop::trayIconCentre(*systemIcon(window())), 3); },
                [=] { return popupIs(menu()); });
    }

    // From the main window's tray menu, with the keyboard, through the version dialog's check
    // button clicked with the pointer: the update window comes up with its own tray icon.
    void openUpdateWindowByHand(Steps& steps) {
        popUpTrayMenu(
            steps, [this] { return mainWindow; }, [this] { return &mainWindow->trayMenu(); });
        steps
            .then([] {
                desktop::keys(QStringList(10, QStringLiteral("Down")) << QStringLiteral("Return"));
            })
            .waitFor(QStringLiteral("the version dialog"),
                     [] { return shownModalWindow(QStringLiteral("VersionWindow")); })
            .then([] {
                desktop::click(
                    button(*shownModalWindow(QStringLiteral("VersionWindow")), "确定图形按钮"));
            })
            .waitFor(QStringLiteral("the update window with its tray icon"), [] {
                return exposed(liveUpdateWindow()) && trayIconEmbedded(liveUpdateWindow()) &&
                       !QApplication::activeModalWidget();
            });
    }

    void popUpUpdateTrayMenu(Steps& steps, QPointer<UpdateWindow>& window) {
        steps.then([&window] { window = liveUpdateWindow(); });
        popUpTrayMenu(
            steps, [&window] { return window.data(); },
            [&window] { return window ? &window->trayMenu() : nullptr; });
    }

    void expectOnlyTheMainWindowLeft(const QPointer<UpdateWindow>& gone) {
        QTRY_VERIFY(gone.isNull());
        QCOMPARE(liveUpdateWindow(), nullptr);
        QTRY_COMPARE(shownTrayIcons(), 1);
        QVERIFY(mainWindow->isVisible());
        QVERIFY(mainWindow->trayIcon()->isShown());
    }

  private slots:
    void initTestCase() {
        QVERIFY(QDir().mkpath(home.filePath(QStringLiteral("config"))));
        QFile dirs(home.filePath(QStringLiteral("config/user-dirs.dirs")));
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_DOWNLOAD_DIR=\"" + home.path().toUtf8() + "\"\n");
        dirs.close();
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());

        server = std::make_unique<UpgradeServer>(400000);
        hosts().site = server->host();
        hosts().download = server->host();
        mainWindow = new app::MainWindow(programUpdates().controller);
        mainWindow->load();
        QVERIFY(waitUntilShown(mainWindow));
    }

    void cleanup() {
        if (UpdateWindow* window = liveUpdateWindow()) window->close();
        QTRY_COMPARE(liveUpdateWindow(), nullptr);
    }

    // "退出升级" chosen with the pointer, and on the next opening with the keyboard.
    void quitCommandOfTheUpdateTrayMenu() {
        for (const bool withKeys : {false, true}) {
            QPointer<UpdateWindow> window;
            Steps steps(scriptMs);
            openUpdateWindowByHand(steps);
            popUpUpdateTrayMenu(steps, window);
            steps.then([&window, withKeys] {
                if (withKeys)
                    desktop::keys(
                        {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
                else
                    desktop::clickAt(
                        desktop::menuItemCentre(window->trayMenu(), QStringLiteral("退出升级")));
            });
            run(steps);
            expectOnlyTheMainWindowLeft(window);
        }
    }

    // "打开升级" brings a hidden window back; the system's close command (Alt+F4) had hidden it.
    void closeCommandHidesAndOpenCommandShows() {
        QPointer<UpdateWindow> window;
        Steps steps(scriptMs);
        openUpdateWindowByHand(steps);
        steps.then([] { liveUpdateWindow()->activateWindow(); })
            .waitFor(QStringLiteral("the update window active"),
                     [] { return QApplication::activeWindow() == liveUpdateWindow(); })
            .then([] { desktop::keys({QStringLiteral("alt+F4")}); })
            .waitFor(QStringLiteral("the update window hidden"),
                     [] { return !liveUpdateWindow()->isVisible(); });
        popUpUpdateTrayMenu(steps, window);
        steps.then([&window] {
            desktop::clickAt(
                desktop::menuItemCentre(window->trayMenu(), QStringLiteral("打开升级")));
        });
        run(steps);
        QCOMPARE(liveUpdateWindow(), window.data());
        QTRY_VERIFY(window->isVisible());
        QCOMPARE(shownTrayIcons(), 2);
    }

    // "取消升级" clicked before a download and while one runs: cancel means cancel, so the
    // running one stops and nothing is started.
    void cancelButtonWithAndWithoutADownload() {
        OpenedFiles opened;
        // Slow enough that the cancel surely comes before the last byte.
        server->bytesPerSecond = 40000;
        const int requests = server->packageRequests;
        const int left = server->packageAnswersLeft;
        for (const bool downloading : {false, true}) {
            QPointer<UpdateWindow> window;
            Steps steps(scriptMs);
            openUpdateWindowByHand(steps);
            steps.then([&window] { window = liveUpdateWindow(); });
            if (downloading)
                steps.then([&window] { desktop::click(button(*window, "按钮1")); })
                    .waitFor(QStringLiteral("the download under way"),
                             [] { return programUpdates().controller.totalBytes() > 0; });
            steps.then([&window] { desktop::click(button(*window, "按钮2")); });
            run(steps);
            expectOnlyTheMainWindowLeft(window);
        }
        // The one download there was ended when the client left its answer; whatever that
        // download's end queued has run.
        QCOMPARE(server->packageRequests - requests, 1);
        QTRY_COMPARE_WITH_TIMEOUT(server->packageAnswersLeft - left, 1, scriptMs);
        QVERIFY(queuedWorkRan());
        QCOMPARE(opened.paths.size(), 0);
        QVERIFY(!QFile::exists(programUpdates().controller.packagePath()));
        server->bytesPerSecond = 0;
    }

    // The download ends while the update window's tray menu is open: the menu goes with the
    // window, and the package is started.
    void finishWhileTheTrayMenuIsOpen() {
        OpenedFiles opened;
        server->bytesPerSecond = 200000;
        QPointer<UpdateWindow> window;
        Steps steps(scriptMs);
        openUpdateWindowByHand(steps);
        steps.then([] { desktop::click(button(*liveUpdateWindow(), "按钮1")); })
            .waitFor(QStringLiteral("the download under way"),
                     [] { return programUpdates().controller.totalBytes() > 0; });
        popUpUpdateTrayMenu(steps, window);
        steps.waitFor(QStringLiteral("the end of the download, menu and window gone"),
                      [&window] { return !window || !window->trayMenu().isVisible(); });
        run(steps);
        expectOnlyTheMainWindowLeft(window);
        QTRY_COMPARE(opened.paths.size(), 1);
        QCOMPARE(opened.paths.front(), programUpdates().controller.packagePath());
        server->bytesPerSecond = 0;
    }

    // The dialogs' own buttons, clicked, each take their dialog away from inside the tray menu's
    // handler that opened it.
    void dialogButtonsTakeTheirDialogsAway() {
        const std::vector<std::tuple<int, QString, const char*>> dialogs{
            {11, QStringLiteral("AboutWindow"), "图形按钮关闭"},
            {10, QStringLiteral("VersionWindow"), "取消图形按钮"},
            {12, QStringLiteral("QuitConfirmWindow"), "图形按钮1"},
        };
        for (const auto& [downs, name, formName] : dialogs) {
            QPointer<ui::SkinWindow> dialog;
            Steps steps(scriptMs);
            popUpTrayMenu(
                steps, [this] { return mainWindow; }, [this] { return &mainWindow->trayMenu(); });
            steps
                .then([downs = downs] {
                    desktop::keys(QStringList(downs, QStringLiteral("Down"))
                                  << QStringLiteral("Return"));
                })
                .waitFor(
                    name,
                    [&dialog, name = name] { return (dialog = shownModalWindow(name)) != nullptr; })
                .then(
                    [&dialog, formName = formName] { desktop::click(button(*dialog, formName)); });
            run(steps);
            QTRY_VERIFY(dialog.isNull());
            QVERIFY(!QApplication::activeModalWidget());
            QVERIFY(mainWindow->isVisible());
        }
    }

    // The client with every window open and its download running, quit through its dialog, ends
    // with exit code 0 once its destructors have run. Under the address checker its leak check
    // is on, for the program's own objects: what Qt, the browser engine and the system libraries
    // keep until exit is theirs (teardown_leaks.supp).
    void quitEndsTheWholeClientThroughItsDestructors() {
        QTemporaryDir runtime;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                           QStringLiteral("sorvo.app.debug=true"));
        environment.insert(QStringLiteral("ASAN_OPTIONS"),
                           environment.value(QStringLiteral("ASAN_OPTIONS")) +
                               QStringLiteral(":detect_leaks=1"));
        environment.insert(QStringLiteral("LSAN_OPTIONS"),
                           QStringLiteral("suppressions=" SORVO_LEAK_SUPPRESSIONS));
        QProcess client;
        client.setProcessEnvironment(environment);
        client.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--tour")});
        QVERIFY(client.waitForFinished(scriptMs * 3));
        const QString errors = QString::fromUtf8(client.readAllStandardError());
        QVERIFY2(client.exitStatus() == QProcess::NormalExit && client.exitCode() == 0,
                 qPrintable(errors));
        QVERIFY2(errors.contains(QStringLiteral("The client has ended with exit code 0.")),
                 qPrintable(errors));
    }

    // Opening and quitting again and again leaves nothing behind.
    void repeatedOpenAndQuit() {
        for (int round = 0; round < 4; ++round) {
            QPointer<UpdateWindow> window;
            Steps steps(scriptMs);
            openUpdateWindowByHand(steps);
            popUpUpdateTrayMenu(steps, window);
            steps.then([] {
                desktop::keys(
                    {QStringLiteral("Down"), QStringLiteral("Down"), QStringLiteral("Return")});
            });
            run(steps);
            expectOnlyTheMainWindowLeft(window);
        }
    }
};

// The client toured in a child of the test program, started with --tour.
int runTouredClient(char* argv[]) {
    static UpgradeServer site(4000000);
    site.bytesPerSecond = 100000;
    hosts().site = site.host();
    hosts().download = site.host();
    // The script is made with the client's application object, and runs once its loop does.
    qAddPreRoutine([] { QTimer::singleShot(0, qApp, [] { tourTheClient(site); }); });
    return app::runClient(1, argv);
}

int main(int argc, char* argv[]) {
    if (argc == 2 && QByteArray(argv[1]) == "--tour") return runTouredClient(argv);
    sorvo::ui::program::prepareProcess();
    QApplication application(argc, argv);
    sorvo::ui::program::configureApplication();
    const KnownTrayHosts trayHosts;
    WindowTeardownTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_window_teardown.moc"
