#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;
class QWidget;

namespace sorvo::app {

// Keeps the client to one process per user. The running client holds a lock file in the user's
// runtime folder and listens on a local socket beside it; a later launch finds the lock taken,
// asks the running client through the socket to come to the front and ends.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    // `folder` holds the lock file and the socket; by default the user's runtime folder.
    explicit SingleInstance(const QString& folder = defaultFolder());
    ~SingleInstance() override;

    static QString defaultFolder();

    // Takes the lock and listens for later launches. Returns false only when another live
    // process holds the lock; where no lock can be made at all the client runs unguarded. A lock
    // left by a process that is gone is taken over.
    bool claim();

    // From a later launch: asks the running client to come to the front. False when it could not
    // be reached.
    bool askRunningToRaise() const;

    // Lets go of the socket and the lock, so that the next launch starts a client.
    void release();

    QString lockPath() const;
    QString socketPath() const;

  signals:
    // A later launch asked this, the running client, to come to the front.
    void raiseRequested();

  private:
    void listen();
    void acceptConnections();

    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};

} // namespace sorvo::app
