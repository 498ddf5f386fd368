#include "app/client.h"

#include "app/desktop_media.h"
#include "app/main_window.h"
#include "config/log_categories.h"
#include "platform/tray_hosts.h"
#include "ui/framework/program.h"
#include "update/update_controller.h"
#include "update/update_services.h"

#include <QApplication>

namespace sorvo::app {

Client::Client() {
    // A second launch brings the running client forward instead of starting another radio. If
    // the running one cannot be reached, this one starts after all.
    if (!instance_.claim() && instance_.askRunningToRaise()) return;
    QObject::connect(&termination_, &platform::TerminationWatch::requested, &ui::program::quit);
    trayHosts_ = std::make_unique<platform::TrayHosts>();
    downloads_ = std::make_unique<update::DownloadComponent>();
    updates_ = std::make_unique<update::UpdateController>(*downloads_);
    mainWindow_ = new MainWindow(*updates_);
    // A close request from the system is not refused: the start window goes, and with it the
    // program.
    QObject::connect(mainWindow_, &ui::SkinWindow::closed, &ui::program::quit);
    QObject::connect(&instance_, &SingleInstance::raiseRequested, mainWindow_,
                     &MainWindow::onRaiseRequested);
    media_ = std::make_unique<DesktopMedia>(*mainWindow_);
    mainWindow_->load();
}

Client::~Client() {
    if (forwarded()) return;
    // Stopped first, so that the download's worker ends while the windows go.
    updates_->cancel();
    media_.reset();
    delete mainWindow_;
}

int runClient(int argc, char* argv[]) {
    ui::program::prepareProcess();
    QApplication application(argc, argv);
    ui::program::configureApplication();
    int code = 0;
    {
        const Client client;
        if (!client.forwarded()) code = ui::program::run();
    }
    qCDebug(appLog, "The client has ended with exit code %d.", code);
    return code;
}

} // namespace sorvo::app
