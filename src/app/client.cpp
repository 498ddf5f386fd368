#include "app/client.h"

#include "app/main_window.h"
#include "app/program_state.h"
#include "platform/platform.h"
#include "ui/framework/program.h"

#include <QApplication>

namespace sorvo::app {

int runClient(int argc, char* argv[]) {
    platform::prepareWebEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorvo-radio"));
    QApplication::setApplicationDisplayName(QStringLiteral("索沃电台"));
    // Hiding the main window through the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    initProgramState();
    ui::program::setEndRoutine(releaseProgramState);

    auto* mainWindow = new MainWindow;
    // A close request from the system is not refused: the start window goes, and with it the
    // message loop.
    QObject::connect(mainWindow, &ui::SkinWindow::windowDestroyed, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    ui::SkinWindow::load(mainWindow, false);
    return ui::program::runMessageLoop();
}

} // namespace sorvo::app
