#include "app/main_window.h"
#include "app/program_state.h"
#include "platform/platform.h"
#include "ui/framework/program.h"

#include <QApplication>

using namespace sorvo;

int main(int argc, char* argv[]) {
    platform::prepareWebEngine();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sorvo-radio"));
    QApplication::setApplicationDisplayName(QStringLiteral("索沃电台"));
    // Hiding the main window through the tray must not end the program.
    QApplication::setQuitOnLastWindowClosed(false);

    app::initProgramState();
    ui::program::setEndRoutine(app::releaseProgramState);

    auto* mainWindow = new app::MainWindow;
    // A close request from the system is not refused: the start window goes, and with it the
    // message loop.
    QObject::connect(mainWindow, &ui::SkinWindow::windowDestroyed, &application,
                     &QApplication::quit, Qt::QueuedConnection);
    ui::SkinWindow::load(mainWindow, false);
    return ui::program::runMessageLoop();
}
