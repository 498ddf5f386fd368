#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

// Collects the addresses handed to the system instead of opening a browser; install it with
// QDesktopServices::setUrlHandler(scheme, &recorder, "open").
class AddressRecorder : public QObject {
    Q_OBJECT
  public:
    QStringList opened;

  public slots:
    void open(const QUrl& address) { opened << address.toString(); }
};
