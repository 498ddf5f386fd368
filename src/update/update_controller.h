#pragma once

#include "download/download_settings.h"
#include "download/hooks.h"

#include <QObject>
#include <QString>
#include <cstdint>

namespace sorvo::update {

class UpdateServices;

// The one owner of the update: the download slot it is handed, the settings of the running
// download, where the package comes from and goes to, and what that download has said. Whoever
// shows the update learns what happened from its signals, always on the thread that owns it.
//
// Threading: the download's hooks run on the component's worker; they only post to this
// object. A download that is stopped or replaced says nothing more, even with news of it still
// in the queue.
//
// The package handed to the desktop is the very file the component verified: its identity
// (device, inode, size, modification time) is checked again just before, and a file changed or
// replaced since is refused as PackageChanged, with nothing started.
class UpdateController : public QObject {
    Q_OBJECT
  public:
    explicit UpdateController(UpdateServices& services, QObject* parent = nullptr);
    // Stops a running download.
    ~UpdateController() override;

    // Works out afresh where the package comes from and where it goes.
    void locatePackage();
    const QString& packageUrl() const { return packageUrl_; }
    const QString& packagePath() const { return packagePath_; }

    // Starts downloading the package at the speed entry's value. A download still running is
    // stopped first.
    void start(int speedValue);
    // Stops the download, if one runs; nothing is started.
    void cancel();

    // The package's size once the server has told it, else 0.
    std::int64_t totalBytes() const { return totalBytes_; }
    std::int64_t bytesDone() const;
    std::int64_t bytesStored() const;
    std::int64_t currentSpeed() const;
    std::int64_t overallRate() const;
    // Milliseconds since the download started.
    std::int64_t elapsedMs() const;

    const download::DownloadSettings& settings() const { return settings_; }

  signals:
    void sizeKnown(qint64 totalBytes);
    // The whole package is in place; it is handed to the desktop right after.
    void finished();
    // The package has been handed to the desktop to start.
    void packageStarted();
    // The download ended without a package; a new start may try again.
    void failed(sorvo::download::MessageCode reason, int httpStatus);

  private:
    void onDownloadEvent(quint64 download, const download::Event& event);
    void startPackage(const download::FileIdentity& verified);

    UpdateServices& services_;
    download::DownloadSettings settings_;
    QString packageUrl_;
    QString packagePath_;
    std::int64_t totalBytes_ = 0;
    std::int64_t startMs_ = 0;
    // Which download is the current one; news of earlier ones is dropped.
    quint64 download_ = 0;
};

} // namespace sorvo::update
