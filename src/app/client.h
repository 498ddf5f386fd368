#pragma once

#include "app/single_instance.h"
#include "platform/termination_watch.h"

#include <QPointer>
#include <memory>

namespace sorvo::platform {
class TrayHosts;
}
namespace sorvo::update {
class DownloadComponent;
class UpdateController;
} // namespace sorvo::update

namespace sorvo::app {

class DesktopMedia;
class MainWindow;

// The one owner of the running program, built after the application object and taken down
// before it: the single-instance guard, the tray hosts, the download slot and the update, the
// main window with every window it opened, the desktop's media controls and the sleep watch. A
// request to end from outside (SIGTERM, Ctrl+C) ends it as the tray menu's quit does.
class Client {
  public:
    // Starts the program: the main window loads and shows itself once the splash has had its
    // time. A client that runs already and can be reached is asked to come forward instead, and
    // nothing else is built.
    Client();
    // Stops the download, takes the windows and their tray icons away, waits for the download's
    // worker and lets go of the guard.
    ~Client();
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    // Whether another client was asked to come forward instead.
    bool forwarded() const { return !trayHosts_; }

  private:
    SingleInstance instance_;
    platform::TerminationWatch termination_;
    std::unique_ptr<platform::TrayHosts> trayHosts_;
    std::unique_ptr<update::DownloadComponent> downloads_;
    std::unique_ptr<update::UpdateController> updates_;
    // Deleted by the client, unless a close from the system has taken it already.
    QPointer<MainWindow> mainWindow_;
    std::unique_ptr<DesktopMedia> media_;
};

// The whole client from start to end; the exit code is 0 when it has been quit and when an
// already running client was asked to come forward instead.
int runClient(int argc, char* argv[]);

} // namespace sorvo::app
