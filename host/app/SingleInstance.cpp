#include "host/app/SingleInstance.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/FileAccess.h"
#include "core/support/FileDescriptor.h"
#include "core/support/Log.h"
#include "platform/runtime/LockFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <fcntl.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

namespace tandrel {

namespace {

// Long enough for a busy host to take the connection; a start never waits longer.
constexpr int handOverTimeoutMilliseconds = 2000;
// The host answers from its event loop, which a library being read may hold up for a while.
constexpr int answerTimeoutMilliseconds = 10000;
constexpr qint64 readChunkBytes = 1024 * 1024;

auto log() {
    return logger("com.ostrevale.tandrel.host", "app");
}

std::string loginName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0' &&
        std::string_view(found->pw_name).find('/') == std::string_view::npos) {
        return found->pw_name;
    }
    return std::to_string(::geteuid());
}

// The folder if it is the user's alone (made 0700 first when `make` and it is missing), with
// room in a socket address for the socket's path; why not otherwise.
std::optional<std::string> unusableFolder(const std::filesystem::path &folder, bool make) {
    if (make) {
        try {
            createFolders(folder, FileAccess::userOnly);
        } catch (const std::filesystem::filesystem_error &error) {
            return error.code().message();
        }
    }
    const FileDescriptor fd(
        ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0) {
        return std::error_code(errno, std::generic_category()).message();
    }
    if (const std::optional<std::string> why = whyNotOursAlone(status)) {
        return why;
    }
    const std::string socket = (folder / SingleInstance::socketName).string();
    if (socket.size() + 1 > sizeof(sockaddr_un::sun_path)) {
        return "its path is too long for a socket";
    }
    return std::nullopt;
}

} // namespace

SingleInstance::SingleInstance(QString socketPath, QObject *parent)
    : QObject(parent), path_(std::move(socketPath)) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::standardSocketPath(QString *problem) {
    struct Candidate {
        std::filesystem::path folder;
        bool make;
        const char *what;
    };
    std::vector<Candidate> candidates;
    if (const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"); runtime.startsWith('/')) {
        candidates.push_back({runtime.toStdString(), false, "XDG_RUNTIME_DIR"});
    }
    candidates.push_back({std::filesystem::path(QFile::encodeName(QDir::tempPath()).toStdString()) /
                              ("runtime-" + loginName()),
                          true, "the runtime folder"});
    try {
        const QByteArray cache = qgetenv("XDG_CACHE_HOME");
        const std::filesystem::path base = cache.startsWith('/')
                                               ? std::filesystem::path(cache.toStdString())
                                               : homeDirectory() / ".cache";
        if (!base.relative_path().empty()) {
            candidates.push_back(
                {base / "Ostrevale" / "runtime", true, "the cache's runtime folder"});
        }
    } catch (const std::exception &) {
        // No cache folder to fall back on.
    }
    QStringList refused;
    for (const Candidate &candidate : candidates) {
        if (const std::optional<std::string> why =
                unusableFolder(candidate.folder, candidate.make)) {
            refused << QStringLiteral("%1 \"%2\" is not used: %3")
                           .arg(QString::fromUtf8(candidate.what),
                                QFile::decodeName(QByteArray::fromStdString(candidate.folder)),
                                QString::fromStdString(*why));
            continue;
        }
        if (!refused.isEmpty()) {
            log()->warn("{}", refused.join(QStringLiteral("; ")).toStdString());
        }
        return QFile::decodeName(
            QByteArray::fromStdString(candidate.folder / std::string(socketName)));
    }
    if (problem != nullptr) {
        *problem = refused.join(QStringLiteral("; "));
    }
    return {};
}

std::optional<uid_t> SingleInstance::peerUser(qintptr socketDescriptor) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    if (socketDescriptor < 0 ||
        ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials,
                     &length) != 0 ||
        length != sizeof credentials) {
        return std::nullopt;
    }
    return credentials.uid;
}

SingleInstance::Claim SingleInstance::claim(const QByteArray &request) {
    if (path_.isEmpty()) {
        error_ = QStringLiteral("No folder of the user's own for the socket");
        return Claim::failed;
    }
    if (request.size() + 1 > maxRequestBytes) {
        error_ = QStringLiteral("The request is longer than %1 MiB").arg(maxRequestBytes >> 20);
        return Claim::failed;
    }
    QLockFile lock(path_ + QStringLiteral(".lock"));
    if (!platform::tryLock(lock, std::chrono::milliseconds(handOverTimeoutMilliseconds))) {
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
    // Whoever listens there must be this user: the request would tell another user's process
    // which libraries to open, and its answer would decide how this start ends.
    const std::optional<uid_t> peer = peerUser(socket.socketDescriptor());
    if (peer != ::geteuid()) {
        log()->warn("The process at {} is {}; nothing is handed over to it", path_.toStdString(),
                    peer ? "another user's (uid " + std::to_string(*peer) + ")"
                         : std::string("of a user that cannot be told"));
        socket.abort();
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
    while (!received.contains('\n') && received.size() <= maxRequestBytes &&
           socket.state() == QLocalSocket::ConnectedState) {
        const qint64 left = answerTimeoutMilliseconds - waited.elapsed();
        if (left <= 0 || (!socket.waitForReadyRead(static_cast<int>(left)) &&
                          socket.error() == QLocalSocket::SocketTimeoutError)) {
            answerTimedOut_ = true;
            break;
        }
        received += socket.read(maxRequestBytes + 1 - received.size());
    }
    if (received.size() <= maxRequestBytes) {
        received += socket.read(maxRequestBytes + 1 - received.size());
    }
    if (const qsizetype end = received.indexOf('\n'); end >= 0) {
        answer_ = received.left(end);
    }
    socket.disconnectFromServer();
    return true;
}

bool SingleInstance::listen() {
    // Nobody of this user answered: a socket file left there is a crashed host's, or (in a
    // folder that was open to others once) somebody else's.
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
        // Only this user's own starts are heard.
        if (const std::optional<uid_t> peer = peerUser(socket->socketDescriptor());
            peer != ::geteuid()) {
            log()->warn("Closed a connection from {}",
                        peer ? "another user (uid " + std::to_string(*peer) + ")"
                             : std::string("a user that cannot be told"));
            socket->abort();
            socket->deleteLater();
            continue;
        }
        // Qt holds no more than this of what has come and is not read yet.
        socket->setReadBufferSize(readChunkBytes);
        auto buffer = std::make_shared<QByteArray>();
        buffer->reserve(readChunkBytes);
        const auto deliver = [this, socket, buffer] {
            if (!socket->isOpen()) {
                return true;
            }
            // Only what has just come is looked through for the line's end.
            const qsizetype from = buffer->size();
            *buffer += socket->read(maxRequestBytes + 1 - buffer->size());
            const qsizetype end = buffer->indexOf('\n', from);
            if (end < 0) {
                if (buffer->size() > maxRequestBytes) {
                    log()->warn("Closed a connection whose request grew past {} MiB",
                                maxRequestBytes >> 20);
                    buffer->clear();
                    socket->abort();
                    return true;
                }
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
