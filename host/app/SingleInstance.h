#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <sys/types.h>

#include <functional>
#include <optional>

class QLocalServer;

namespace tandrel {

// One host per user: the first start listens on a local socket in the user's runtime folder;
// a later start hands its request to the running one, waits for its answer and ends. A lock
// file beside the socket keeps two starts from both taking the first place.
//
// Another user of the machine is never talked to: the socket lives in a folder that is the
// user's alone (never a shared one), and each side checks the other's user on the connection
// (SO_PEERCRED) before it hands over or reads anything. A request is one line of at most
// maxRequestBytes; a longer one closes the connection.
//
// On the socket: the start sends its request as one line; the host answers with one line and
// closes. A host that answers nothing and closes (as hosts before answers did) leaves the
// start without an answer; a start that does not wait for one (as starts before answers did)
// is no trouble to the host either.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The host's answer to a later start's request, made on its thread.
    using Answerer = std::function<QByteArray(const QByteArray &request)>;

    static constexpr const char *socketName = "com.ostrevale.tandrel.host";
    // Far beyond the libraries one command line can name; a request or answer line that grows
    // past it is no request, and its connection is closed.
    static constexpr qsizetype maxRequestBytes = qsizetype{8} << 20;

    enum class Claim {
        // This process is the host: it listens for later starts.
        listening,
        // A running host took the request: this process should end.
        handedOver,
        // Neither: the socket could not be made (this process may still run on its own).
        failed,
    };

    explicit SingleInstance(QString socketPath, QObject *parent = nullptr);
    ~SingleInstance() override;

    // "com.ostrevale.tandrel.host" in the user's runtime folder: $XDG_RUNTIME_DIR when it is
    // set and the user's alone; else a folder of our own made 0700, "runtime-<user>" in the
    // temporary folder, or, when another user holds that, "Ostrevale/runtime" in the user's
    // cache folder. Empty when none can be had (said in `problem`): the host then runs
    // without the socket rather than in a folder others share.
    static QString standardSocketPath(QString *problem = nullptr);
    // The user of the process at the other end of a connected local socket; nothing when it
    // cannot be told.
    static std::optional<uid_t> peerUser(qintptr socketDescriptor);

    // Hands `request` to a running host, or else becomes the host.
    Claim claim(const QByteArray &request);
    QString errorString() const { return error_; }
    // After a hand-over: the running host's answer line, absent when it closed without one.
    const std::optional<QByteArray> &answer() const { return answer_; }
    // After a hand-over: the running host kept the connection open past the wait without
    // answering.
    bool answerTimedOut() const { return answerTimedOut_; }

    // While listening: answers each later start's request, once it has arrived whole. Without
    // one, requests are answered with nothing.
    void setAnswerer(Answerer answerer) { answerer_ = std::move(answerer); }

private:
    bool handOver(const QByteArray &request);
    bool listen();
    void accept();

    QString path_;
    QString error_;
    QLocalServer *server_ = nullptr;
    Answerer answerer_;
    std::optional<QByteArray> answer_;
    bool answerTimedOut_ = false;
};

} // namespace tandrel
