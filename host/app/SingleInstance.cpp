#include "host/app/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace tandrel {

namespace {

// Long enough for a busy host to take the connection; a start never waits longer.
constexpr int handOverTimeoutMilliseconds = 2000;
// The host answers from its event loop, which a library being read may hold up for a while.
constexpr int answerTimeoutMilliseconds = 10000;

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject *parent)
    : QObject(parent), path_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::standardSocketPath() {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty()) {
        folder = QDir::tempPath();
    }
    return QDir(folder).absoluteFilePath(QString::fromUtf8(socketName));
}

SingleInstance::Claim SingleInstance::claim(const QByteArray &request) {
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!lock.tryLock(handOverTimeoutMilliseconds)) {
        error_ = QStringLiteral("Cannot take the lock beside %1").arg(path_);
        return Claim::failed;
    }
    if (handOver(request)) {
        return Claim::handedOver;
    }
    return listen() ? Claim::listening : Claim::failed;
}

bool SingleInstance::handOver(const QByteArray &request) {
    QLocalSocket socket;
    socket.connectToServer(path_);
    if (!socket.waitForConnected(handOverTimeoutMilliseconds)) {
        return false;
    }
    socket.write(request + '\n');
    if (!socket.waitForBytesWritten(handOverTimeoutMilliseconds)) {
        return false;
    }
    // The request is with the host now, whatever follows.
    QByteArray received;
    QElapsedTimer waited;
    waited.start();
    while (!received.contains('\n') && socket.state() == QLocalSocket::ConnectedState) {
        const qint64 left = answerTimeoutMilliseconds - waited.elapsed();
        if (left <= 0 || (!socket.waitForReadyRead(static_cast<int>(left)) &&
                          socket.error() == QLocalSocket::SocketTimeoutError)) {
            answerTimedOut_ = true;
            break;
        }
        received += socket.readAll();
    }
    received += socket.readAll();
    if (const qsizetype end = received.indexOf('\n'); end >= 0) {
        answer_ = received.left(end);
    }
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    // Nobody answered: a socket file left there is a crashed host's.
    QLocalServer::removeServer(path_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(path_)) {
        error_ = server_->errorString();
        delete server_;
        server_ = nullptr;
        return false;
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::accept);
    return true;
}

void SingleInstance::accept() {
    while (QLocalSocket *socket = server_->nextPendingConnection()) {
        auto buffer = std::make_shared<QByteArray>();
        const auto deliver = [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf('\n');
            if (end < 0) {
                return false;
            }
            const QByteArray request = buffer->left(end);
            buffer->clear();
            // Written before the socket closes; lost, and no harm done, when the start that
            // asked did not wait for it.
            if (answerer_) {
                socket->write(answerer_(request) + '\n');
            }
            socket->disconnectFromServer();
            return true;
        };
        connect(socket, &QLocalSocket::readyRead, this, deliver);
        // What came with the connection, and a sender that ended without a line break.
        connect(socket, &QLocalSocket::disconnected, this, [socket, deliver] {
            deliver();
            socket->deleteLater();
        });
        deliver();
    }
}

} // namespace tandrel
