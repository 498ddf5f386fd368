#include "app/client.h"

#include "app/desktop_media.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "ui/framework/program.h"
#include "update/update_controller.h"
#include "update/update_services.h"

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

    update::DownloadComponent downloads;
    update::UpdateController updates(downloads);
    auto* mainWindow = new MainWindow(updates);
    // A close request from the system is not refused: the start window goes, and with it the
    // program.
    QObject::connect(mainWindow, &ui::SkinWindow::closed, &ui::program::quit);
    QObject::connect(&instance, &SingleInstance::raiseRequested, mainWindow,
                     &MainWindow::onRaiseRequested);
    connectDesktopMedia(*mainWindow);
    // It shows itself once the splash has had its time.
    mainWindow->load();
    ui::program::runUntilQuit([&] {
        updates.cancel();
        instance.release();
    });
}

} // namespace sorvo::app
