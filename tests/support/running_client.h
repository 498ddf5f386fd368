#pragma once

#include "app/main_window.h"
#include "app/program_state.h"
#include "config/hosts.h"
#include "support/upgrade_server.h"
#include "ui/framework/program.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <unistd.h>

// The whole client in the test's own process: its main window with the splash before it,
// against a loopback update site, with a private download folder. Nothing a test does may end
// the program (confirm the quit dialog): that would leave the process with exit code 0, so it
// fails the run instead.
class RunningClient {
  public:
    explicit RunningClient(std::size_t packageSize) : site(packageSize) {
        const QString downloads = home_.filePath(QStringLiteral("下载"));
        QDir().mkpath(downloads);
        QDir().mkpath(home_.filePath(QStringLiteral("config")));
        QFile dirs(home_.filePath(QStringLiteral("config/user-dirs.dirs")));
        if (dirs.open(QIODevice::WriteOnly))
            dirs.write("XDG_DOWNLOAD_DIR=\"" + downloads.toUtf8() + "\"\n");
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toUtf8());

        sorvo::hosts().site = site.host();
        sorvo::hosts().download = site.host();
        sorvo::app::initProgramState();
        sorvo::ui::program::setEndRoutine([] {
            std::fputs("FAIL: the program was ended (the quit dialog confirmed)\n", stderr);
            _exit(1);
        });
        mainWindow = new sorvo::app::MainWindow;
        sorvo::ui::SkinWindow::load(mainWindow, false);
    }

    UpgradeServer site;
    sorvo::app::MainWindow* mainWindow = nullptr;

  private:
    QTemporaryDir home_;
};
