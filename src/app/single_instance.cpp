#include "app/single_instance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace sorvo::app {

namespace {

const QByteArray raiseRequest = QByteArrayLiteral("raise\n");

// The running client may have taken the lock a moment ago and not be listening yet.
constexpr int connectAttempts = 5;
constexpr int connectPauseMs = 100;
constexpr int socketTimeoutMs = 1000;

} // namespace

SingleInstance::SingleInstance(const QString& folder) : folder_(folder) {}

SingleInstance::~SingleInstance() {
    release();
}

QString SingleInstance::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
}

QString SingleInstance::lockPath() const {
    return QDir(folder_).filePath(QStringLiteral("sorvo-radio.lock"));
}

QString SingleInstance::socketPath() const {
    return QDir(folder_).filePath(QStringLiteral("sorvo-radio.socket"));
}

bool SingleInstance::claim() {
    if (folder_.isEmpty()) return true;
    auto lock = std::make_unique<QLockFile>(lockPath());
    // Only a holder that is gone makes the lock stale, never its age: where the file system has
    // no native locks, age alone would hand a long-running client's lock to the next launch.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return lock->error() != QLockFile::LockFailedError;
    lock_ = std::move(lock);
    listen();
    return true;
}

void SingleInstance::listen() {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    // Without a socket later launches cannot reach this client; it runs all the same.
    if (server_->listen(socketPath())) return;
    delete server_;
    server_ = nullptr;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (socket->bytesAvailable() < raiseRequest.size()) return;
            const bool isRaise = socket->read(raiseRequest.size()) == raiseRequest;
            socket->disconnectFromServer();
            if (isRaise) emit raiseRequested();
        });
    }
}

bool SingleInstance::askRunningToRaise() const {
    QLocalSocket socket;
    for (int attempt = 0; attempt < connectAttempts; ++attempt) {
        if (attempt > 0) QThread::msleep(connectPauseMs);
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(socketTimeoutMs)) break;
    }
    if (socket.state() != QLocalSocket::ConnectedState) return false;
    socket.write(raiseRequest);
    const bool sent = socket.waitForBytesWritten(socketTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::release() {
    delete server_;
    server_ = nullptr;
    lock_.reset();
}

} // namespace sorvo::app
