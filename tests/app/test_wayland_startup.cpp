// The client on Qt's Wayland platform, under a private compositor that this program starts
// itself as a window on the test desktop: the splash and the main window appear at their sizes,
// the main window is rounded, the radio page loads, the dialogs open and close, every window
// reaches the compositor by its own title, a real press on the title strip hands the window to
// the compositor for moving, and the tray icon is an item on a StatusNotifierItem panel.
#include "app/main_window.h"
#include "config/hosts.h"
#include "support/gui_test_main.h"
#include "support/modal_dialog.h"
#include "support/page_server.h"
#include "support/tray_panel.h"
#include "support/update_desk.h"
#include "ui/dialogs.h"
#include "ui/framework/canvas.h"
#include "ui/framework/program.h"
#include "ui/framework/skin_window.h"
#include "ui/framework/web_browser.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace sorvo;

namespace {

QWidget* visibleTopLevel(const QString& name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

bool exposed(const QWidget* widget) {
    return widget && widget->windowHandle() && widget->windowHandle()->isExposed();
}

// A weston on a socket of its own, in a private runtime folder, showing its one output as a
// window on the test desktop, so that real pointer input reaches the client through it. The
// output is exactly the main window's size: weston then places that window at its top left.
class Compositor {
  public:
    Compositor() {
        char folder[] = "/tmp/sorvo-wayland-XXXXXX";
        if (!mkdtemp(folder)) return;
        runtimeDir_ = folder;
        chmod(folder, 0700);
        const std::string log = runtimeDir_ + "/weston.log";
        // No panel: nothing of the shell's own covers the output.
        const std::string config = runtimeDir_ + "/weston.ini";
        if (FILE* ini = std::fopen(config.c_str(), "w")) {
            std::fputs("[shell]\npanel-position=none\n", ini);
            std::fclose(ini);
        }
        const std::string configOption = "--config=" + config;
        pid_ = fork();
        if (pid_ == 0) {
            // Gone with the test, however the test ends.
            prctl(PR_SET_PDEATHSIG, SIGTERM);
            const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
            setenv("XDG_RUNTIME_DIR", folder, 1);
            execlp("weston", "weston", "--backend=x11-backend.so", "--socket=sorvo-test",
                   "--idle-time=0", configOption.c_str(), "--use-pixman", "--width=960",
                   "--height=440",
                   // The protocol log shows what the compositor was told, titles included.
                   "--debug", "--logger-scopes=log,proto", static_cast<char*>(nullptr));
            _exit(127);
        }
        const std::string socket = runtimeDir_ + "/sorvo-test";
        for (int i = 0; i < 200 && !ready_; ++i) {
            ready_ = access(socket.c_str(), F_OK) == 0;
            if (ready_) break;
            if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1; // it gave up; its log says why
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    ~Compositor() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
        if (!runtimeDir_.empty()) QDir(QString::fromStdString(runtimeDir_)).removeRecursively();
    }
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    bool ready() const { return ready_; }
    const std::string& runtimeDir() const { return runtimeDir_; }
    static const char* socketName() { return "sorvo-test"; }
    QByteArray log() const {
        QFile file(QString::fromStdString(runtimeDir_ + "/weston.log"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private:
    std::string runtimeDir_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

} // namespace

class WaylandStartupTest : public QObject {
    Q_OBJECT
  public:
    WaylandStartupTest(const Compositor& compositor, QString testDesktop)
        : compositor_(compositor), testDesktop_(std::move(testDesktop)) {}

  private slots:
    // The client starts once for all the tests, each of which looks at what it needs.
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("wayland"));
        hosts().site = server_.host();
        panel_.start();
        auto* mainWindow = new app::MainWindow(programUpdates().controller);
        QTimer sampler;
        connect(&sampler, &QTimer::timeout, [&] {
            QWidget* splash = visibleTopLevel(QStringLiteral("SplashWindow"));
            if (!splash) return;
            if (exposed(splash)) {
                splashExposed_ = true;
                splashSize_ = splash->size();
            }
            if (mainWindow->isVisible()) mainShownUnderSplash_ = true;
        });
        sampler.start(20);
        mainWindow->load();
        QVERIFY(QTest::qWaitFor([&] { return mainWindow->isVisible(); }, 30000));
        sampler.stop();
        QVERIFY(QTest::qWaitForWindowExposed(mainWindow));
        mainWindow_ = mainWindow;
    }

    void splashThenMainWindowAtTheirSizes() {
        QVERIFY2(splashExposed_, "the compositor never showed the splash");
        QCOMPARE(splashSize_, QSize(770, 330));
        QVERIFY(!mainShownUnderSplash_);
        QCOMPARE(mainWindow_->size(), QSize(960, 440));
        QCOMPARE(mainWindow_->windowTitle(), QStringLiteral("索沃电台"));
    }

    void mainWindowIsRoundedAndShowsTheRadioPage() {
        QTRY_VERIFY(!mainWindow_->mask().isEmpty());
        QVERIFY(!mainWindow_->mask().contains(QPoint(0, 0)));
        QVERIFY(!mainWindow_->mask().contains(QPoint(959, 439)));
        QVERIFY(mainWindow_->mask().contains(QPoint(480, 220)));
        QTRY_COMPARE_WITH_TIMEOUT(mainWindow_->radioBrowser().title(),
                                  QStringLiteral("/diantai/sorvo/"), 20000);
    }

    void dialogsOpenExposedAndClose() { openAndCloseEachDialog(); }

    // Wayland has no global positions: the compositor moves the window itself once asked. The
    // request must reach it, on the main window's toplevel.
    void titleStripPressHandsTheMoveToTheCompositor() {
        const qsizetype movesBefore = compositorRequests(QStringLiteral(".move(")).size();
        // The main window fills the compositor's output, so (400, 10) of the output is a point of
        // the title strip away from its buttons.
        // A move inside the output first: weston takes the pointer's place from motion, not
        // from the pointer entering its window.
        QVERIFY(
            onTheTestDesktop(QStringLiteral("xdotool"),
                             {QStringLiteral("search"),    QStringLiteral("--sync"),
                              QStringLiteral("--class"),   QStringLiteral("^Weston Compositor$"),
                              QStringLiteral("mousemove"), QStringLiteral("--window"),
                              QStringLiteral("%1"),        QStringLiteral("390"),
                              QStringLiteral("12"),        QStringLiteral("sleep"),
                              QStringLiteral("0.2"),       QStringLiteral("mousemove"),
                              QStringLiteral("--window"),  QStringLiteral("%1"),
                              QStringLiteral("400"),       QStringLiteral("10"),
                              QStringLiteral("sleep"),     QStringLiteral("0.2"),
                              QStringLiteral("mousedown"), QStringLiteral("1")}));
        QTRY_COMPARE(compositorRequests(QStringLiteral(".move(")).size(), movesBefore + 1);
        QVERIFY(compositorRequests(QStringLiteral(".move(")).back().contains(u"xdg_toplevel@"));
        QVERIFY(onTheTestDesktop(QStringLiteral("xdotool"),
                                 {QStringLiteral("mouseup"), QStringLiteral("1")}));
        QVERIFY(exposed(mainWindow_));
        QCOMPARE(mainWindow_->size(), QSize(960, 440));
    }

    // Each window's toplevel title, as the compositor received it, is exactly the window's own.
    void theCompositorKnowsEachWindowByItsOwnTitle() {
        openAndCloseEachDialog();
        QStringList titles;
        static const QRegularExpression setTitle(
            QStringLiteral(R"re(xdg_toplevel@\d+\.set_title\("(.*)"\))re"));
        for (const QString& line : QString::fromUtf8(compositor_.log()).split(u'\n')) {
            const QRegularExpressionMatch match = setTitle.match(line);
            if (match.hasMatch()) titles << match.captured(1);
        }
        for (const char* title :
             {"索沃电台正在启动中...", "索沃电台", "关于我们", "索沃电台版本", "退出索沃电台？"})
            QVERIFY2(titles.contains(QString::fromUtf8(title)), title);
        for (const QString& title : titles)
            QVERIFY2(!title.contains(u'—'), qPrintable(title));
    }

    // Each dialog's toplevel has the main window's for its parent, so the compositor keeps the
    // dialog above it.
    void theDialogsAreChildrenOfTheMainWindow() {
        static const QRegularExpression request(QStringLiteral(
            R"re(new id xdg_toplevel@(\d+)|xdg_toplevel@(\d+)\.(set_title|set_parent)\((?:"(.*)"|xdg_toplevel@(\d+)|nil)\))re"));
        // A toplevel's number is given again once it has gone, so both are kept per creation.
        QHash<QString, QString> titleOf, parentOf, parentByTitle;
        const QStringList lines = compositorRequests(QStringLiteral("xdg_"));
        for (const QString& line : lines) {
            const QRegularExpressionMatch match = request.match(line);
            if (!match.hasMatch()) continue;
            if (!match.captured(1).isEmpty()) {
                titleOf.remove(match.captured(1));
                parentOf.remove(match.captured(1));
                continue;
            }
            const QString toplevel = match.captured(2);
            if (match.captured(3) == u"set_title")
                titleOf[toplevel] = match.captured(4);
            else
                parentOf[toplevel] = match.captured(5);
            if (titleOf.contains(toplevel))
                parentByTitle[titleOf[toplevel]] = parentOf.value(toplevel);
        }
        const QString mainToplevel = titleOf.key(QStringLiteral("索沃电台"));
        QVERIFY2(!mainToplevel.isEmpty(), qPrintable(lines.join(u'\n')));
        for (const char* title : {"关于我们", "索沃电台版本", "退出索沃电台？"})
            QVERIFY2(parentByTitle.value(QString::fromUtf8(title)) == mainToplevel, title);
    }

    // Wayland's trays are StatusNotifierItem panels: the item is on the panel, and its click
    // toggles the main window.
    void trayItemOnThePanelTogglesTheWindow() {
        QTRY_COMPARE_WITH_TIMEOUT(panel_.items().size(), 1, 2000);
        const QString item = panel_.items().constFirst();
        QCOMPARE(panel_.property(item, QStringLiteral("Title")),
                 QVariant(QStringLiteral("索沃电台")));
        QCOMPARE(panel_.menu(item).captions().size(), 13);
        // The toggle starts at showing: the first click shows the window that already shows.
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(!mainWindow_->isVisible(), 2000);
        panel_.call(item, QStringLiteral("Activate"), {0, 0});
        QTRY_VERIFY_WITH_TIMEOUT(exposed(mainWindow_), 5000);
    }

  private:
    void openAndCloseEachDialog() {
        const std::vector<std::pair<std::function<ui::SkinWindow*()>, QSize>> dialogs{
            {[this] { return ui::openAboutWindow(*mainWindow_); }, {325, 245}},
            {[this] { return ui::openVersionWindow(*mainWindow_); }, {520, 320}},
            {[this] { return ui::openQuitConfirmWindow(*mainWindow_); }, {325, 245}},
        };
        for (const auto& [open, size] : dialogs) {
            QPointer<ui::SkinWindow> seen = open();
            QVERIFY(awaitModalDialog() == seen);
            QCOMPARE(seen->size(), size);
            seen->close();
            QTRY_VERIFY(!seen);
            QVERIFY(exposed(mainWindow_));
        }
    }

    // Runs a command on the test desktop that shows the compositor; the client itself talks to
    // the compositor only.
    bool onTheTestDesktop(const QString& program, const QStringList& arguments) const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DISPLAY"), testDesktop_);
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        const bool done = process.waitForFinished(10000) && process.exitCode() == 0;
        if (!done)
            qWarning("%s: %s", qPrintable(program), process.readAllStandardError().constData());
        return done;
    }

    // The protocol requests the compositor received whose text contains `what`.
    QStringList compositorRequests(const QString& what) const {
        QStringList requests;
        for (const QString& line : QString::fromUtf8(compositor_.log()).split(u'\n'))
            if (line.contains(QStringLiteral(" rq ")) && line.contains(what)) requests << line;
        return requests;
    }

    const Compositor& compositor_;
    const QString testDesktop_;
    PageServer server_;
    TrayPanel panel_;
    app::MainWindow* mainWindow_ = nullptr;
    bool splashExposed_ = false;
    QSize splashSize_;
    bool mainShownUnderSplash_ = false;
};

int main(int argc, char* argv[]) {
    Compositor compositor;
    if (!compositor.ready()) {
        std::fprintf(stderr, "weston did not start:\n%s\n", compositor.log().constData());
        return 1;
    }
    setenv("XDG_RUNTIME_DIR", compositor.runtimeDir().c_str(), 1);
    setenv("WAYLAND_DISPLAY", Compositor::socketName(), 1);
    setenv("QT_QPA_PLATFORM", "wayland", 1);
    const QString testDesktop = QString::fromLocal8Bit(qgetenv("DISPLAY"));
    unsetenv("DISPLAY");

    ui::program::prepareProcess();
    int failures = 0;
    {
        QApplication application(argc, argv);
        ui::program::configureApplication();
        const KnownTrayHosts trayHosts;
        WaylandStartupTest test(compositor, testDesktop);
        failures = QTest::qExec(&test, argc, argv);
    }
    return failures;
}

#include "test_wayland_startup.moc"
