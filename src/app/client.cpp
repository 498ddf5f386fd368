#include "app/client.h"

#include "app/desktop_media.h"
#include "app/main_window.h"
#include "app/program_state.h"
#include "app/single_instance.h"
#include "ui/framework/program.h"

#include <QApplication>

namespace sorvo::app {

int runClient(int argc, char* argv[]) {
    ui::program::prepareProcess();
    QApplication application(argc, argv);
    ui::program::configureApplication();

    // A second launch brings the running client forward instead of starting another radio. If
    // the running one cannot be reached, this one starts after all.
    SingleInstance instance;
    if (!instance.claim() && instance.askRunningToRaise()) return 0;

    initProgramState();
    ui::program::setEndRoutine([&instance] {
        releaseProgramState();
        instance.release();
    });

    auto* mainWindow = new MainWindow;
    // A close request from the system is not refused: the start window goes, and with it the
    // message loop.
    QObject::connect(mainWindow, &ui::SkinWindow::windowDestroyed, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    ui::SkinWindow::load(mainWindow, false);
    // Connected only now: the main window stays hidden until the splash has gone.
    QObject::connect(&instance, &SingleInstance::raiseRequested, mainWindow,
                     [mainWindow] { mainWindow->bringToFront(); });
    connectDesktopMedia(*mainWindow);
    // Leaving directly once the loop has ended and the state is released: tearing the browser
    // engine down window by window gains nothing at exit and can stall it.
    ui::program::end(ui::program::runMessageLoop());
}

} // namespace sorvo::app
