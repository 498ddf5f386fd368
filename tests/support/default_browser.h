#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QStringList>
#include <QUrl>

// Stands in for the desktop's default browser: records every address the program hands to it.
class DefaultBrowser : public QObject {
    Q_OBJECT
  public:
    DefaultBrowser() {
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, this, "open");
    }
    ~DefaultBrowser() override {
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
    }
    QStringList opened;

  public slots:
    void open(const QUrl& address) { opened << address.toString(); }

  private:
    const QStringList schemes{QStringLiteral("http"), QStringLiteral("https"),
                              QStringLiteral("smb"), QStringLiteral("mailto")};
};
