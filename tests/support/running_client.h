#pragma once

#include "app/main_window.h"
#include "config/hosts.h"
#include "support/upgrade_server.h"
#include "update/update_controller.h"
#include "update/update_services.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The whole client in the test's own process: its main window with the splash before it,
// against a loopback update site, with a private download folder.
class RunningClient {
  public:
    explicit RunningClient(std::size_t packageSize) : site(packageSize) {
        const QString downloadFolder = home_.filePath(QStringLiteral("下载"));
        QDir().mkpath(downloadFolder);
        QDir().mkpath(home_.filePath(QStringLiteral("config")));
        QFile dirs(home_.filePath(QStringLiteral("config/user-dirs.dirs")));
        if (dirs.open(QIODevice::WriteOnly))
            dirs.write("XDG_DOWNLOAD_DIR=\"" + downloadFolder.toUtf8() + "\"\n");
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toUtf8());

        sorvo::hosts().site = site.host();
        sorvo::hosts().download = site.host();
        mainWindow = new sorvo::app::MainWindow(updates);
        mainWindow->load();
    }

    UpgradeServer site;
    sorvo::update::DownloadComponent downloads;
    sorvo::update::UpdateController updates{downloads};
    sorvo::app::MainWindow* mainWindow = nullptr;

  private:
    QTemporaryDir home_;
};
