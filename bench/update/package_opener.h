#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <chrono>

// Takes the desktop's place in opening files, so that a finished package is noted instead of
// started.
class PackageOpener : public QObject {
    Q_OBJECT
  public:
    PackageOpener() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~PackageOpener() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    PackageOpener(const PackageOpener&) = delete;
    PackageOpener& operator=(const PackageOpener&) = delete;

    int opened = 0;
    QString lastPath;
    std::chrono::steady_clock::time_point lastOpenedAt;

  public slots:
    void open(const QUrl& url) {
        ++opened;
        lastPath = url.toLocalFile();
        lastOpenedAt = std::chrono::steady_clock::now();
    }
};
