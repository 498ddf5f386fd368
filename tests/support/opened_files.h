#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>

// Stands in for the desktop's file opener: records every file the program asks to open, and
// what `observe` says about the program at that moment.
class OpenedFiles : public QObject {
    Q_OBJECT
  public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "record"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    QStringList paths;
    QStringList observations;
    std::function<QString()> observe;

  public slots:
    void record(const QUrl& url) {
        paths << url.toLocalFile();
        observations << (observe ? observe() : QString());
    }
};
