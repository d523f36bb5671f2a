#pragma once

#include "host/feedback/FeedbackPayload.h"
#include "host/feedback/PersistentRetryQueue.h"
#include "platform/network/ServerAddress.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <chrono>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace tandrel {

// Delivers feedback records to the feedback server: one POST to the records endpoint, as JSON,
// or as a multipart form when a screenshot goes with it. A record that does not get through is
// not lost: it goes to a persistent retry queue, which sends it again with growing pauses
// (1 s, 5 s, 30 s, 2 min, 10 min, then hourly; 12 attempts) and keeps it across runs.
//
// The server comes from TANDREL_FEEDBACK_SERVER ("https://feedback.example"), from the
// environment or else from the build; its address follows the rule of every server of ours
// (platform::ServerAddress: https, or http only to this machine; scheme, host, port and path,
// nothing else). It is empty by default: then nothing leaves the machine, every post fails
// with "No feedback server is configured." and records wait in the queue's file, untried, for
// a run that has a server. The host drains the queue from its start (drainAtStart); the
// command-line tool leaves older records to it.
//
// Lives on the main thread; its completions come from the event loop.
class FeedbackService : public QObject {
public:
    using Payload = FeedbackPayload;
    using RetryQueue = PersistentRetryQueue<Payload>;

    static constexpr const char *recordsPath = "/api/collections/feedback/records";
    // How long a post may go without any traffic before it counts as failed, and how long the
    // whole exchange may take at most.
    static constexpr std::chrono::milliseconds timeout{60'000};

    struct Configuration {
        // The server's address, as configured; see endpointFor for what is usable.
        QString server;
        // The retry queue's file; none keeps the queue in memory.
        std::optional<std::filesystem::path> retryQueueFile;
        // The retry queue's pause; none waits on a timer.
        RetryQueue::Sleep sleep;
        // Whether the queue works off its records from the start (given a usable endpoint).
        bool drainsRetryQueue = true;
        // How long a post may go without any traffic.
        std::chrono::milliseconds transferTimeout = timeout;
        // How long the whole exchange may take, however steadily the server sends.
        std::chrono::milliseconds exchangeDeadline = timeout;
    };

    // Whether records can leave at all: a server is configured and its address is allowed.
    enum class Server { usable, none, refused };

    // How one send ended.
    struct SendResult {
        // Delivered: the id the server gave the record, "?" when its answer named none.
        std::optional<QString> recordID;
        // Not delivered: why, in full, for the log ("HTTP 413: {…}", "Connection refused").
        QString failure;
        // The post got no connection (no network, nobody listening), rather than an answer or
        // a refusal.
        bool connectivityFailure = false;
        // Not delivered, and the record is in the retry queue's file.
        bool savedForRetry = false;
        // The service's server; for `refused`, the part of its address that is not allowed
        // ("a user name or password is not allowed in it").
        Server server = Server::usable;
        QString serverProblem{};
        // Whether this service sends queued records by itself (the host), or leaves them to the
        // host's next start (the command-line tool).
        bool retriesHere = true;
        // The retry queue's file, where an undelivered record waits; none without one.
        std::optional<std::filesystem::path> retryQueueFile{};
        // The post reached the server but got no answer: it took longer than the time-out, or
        // the server closed the connection first (it may have filed the record all the same).
        bool noAnswer = false;
        // Whether a host started as this build starts it has a usable server of its own, and so
        // sends what is kept; without one, only a host started with TANDREL_FEEDBACK_SERVER does.
        bool hostHasServer = true;
        // Not delivered nor saved: why the retry queue does not keep its file ("is held by
        // another queue", or a refused folder), when it says.
        QString notSavedBecause{};

        bool delivered() const { return recordID.has_value(); }
    };

    // The process's service, made at the first call (on the main thread) with the standard
    // configuration, and kept until the application object goes.
    static FeedbackService &shared();
    // The configured server's endpoint, the queue's file under the user's data folder, timer
    // pauses, and the queue at work.
    static Configuration standardConfiguration();

    // TANDREL_FEEDBACK_SERVER from the environment when it is set there, else the build's.
    static QString configuredServer();
    // The build's own server, whatever the environment says.
    static QString buildServer();
    // The records endpoint of a server whose address is allowed (the records path after the
    // address's own); nothing otherwise.
    static std::optional<QUrl> endpointFor(const QString &server);

    // At the host's start: when the configured server is usable, the shared service comes into
    // being and sends what earlier runs left in the queue, at once and then by the queue's
    // pauses. Without one nothing is made, and the records wait. True when it was made.
    static bool drainAtStart();
    // "Tandrel/feedback_retry_queue.json" under the user's data folder; none without a home.
    static std::optional<std::filesystem::path> retryQueueStoreURL();

    explicit FeedbackService(Configuration configuration, QObject *parent = nullptr);
    ~FeedbackService() override;

    // Posts the record once. When that fails for any reason it is queued for retries; an
    // answer with any status from 200 to 299 counts as delivered. Of an answer's body only the
    // first 16 KiB are read (all that its id or a refusal's text needs): the post ends there.
    // `done` is called from the event loop, on `context` (the service when null), unless
    // `context` is gone by then; the send goes on regardless. A record still unanswered when
    // the service ends is queued then.
    void send(Payload payload, QObject *context, std::function<void(const SendResult &)> done);

    // "<version> (<build>)" of this build.
    static QString appVersion();
    // "Linux <major>.<minor>.<patch>" of the running kernel.
    static QString osVersion();
    // "Linux": the system that osVersion describes, as the feedback form labels it.
    static QString osName();
    // The login name of the user running the process.
    static QString loginName();
    // The diagnostics block that goes with every record: now, this build and this system,
    // then the given summary of the host's state.
    QString sammeleDiagnose(const QString &appStateSummary) const;

    // The multipart form of a record: its text parts, "submitter_email" only when an address
    // is given, and the screenshot as "feedback.png".
    static QByteArray buildMultipart(const Payload &payload, const QByteArray &screenshot,
                                     const QByteArray &boundary);

    const RetryQueue &retryQueue() const { return retryQueue_; }

private:
    // The record id, or why the post failed.
    using Answer = std::variant<QString, std::exception_ptr>;

    void performSend(const Payload &payload, std::function<void(Answer)> done);

    platform::ServerAddress server_;
    bool drainsRetryQueue_;
    std::chrono::milliseconds transferTimeout_;
    std::chrono::milliseconds exchangeDeadline_;
    std::optional<std::filesystem::path> retryQueueFile_;
    RetryQueue retryQueue_;
    // Records whose first post has not been answered: held nowhere else until it has.
    std::vector<std::shared_ptr<Payload>> unanswered_;
    // After the queue, so that replies in flight go before it does.
    QNetworkAccessManager network_;
};

} // namespace tandrel
