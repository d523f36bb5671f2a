#include "host/feedback/FeedbackService.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/JsonText.h"
#include "core/support/Log.h"
#include "core/support/UnicodeText.h"
#include "core/support/Uuid.h"
#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackError.h"
#include "platform/network/ServerAddress.h"

#include <QCoreApplication>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSysInfo>
#include <QTimer>

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace tandrel {

namespace {

// The pauses after the first, second ... failed retry, the last one repeating.
const std::vector<double> retryPauses{1, 5, 30, 120, 600, 3600};
constexpr int retryAttempts = 12;

auto log() {
    return logger("com.ostrevale.tandrel.host", "feedback");
}

FeedbackService::Server serverState(const platform::ServerAddress &server) {
    switch (server.problem()) {
    case platform::ServerAddress::Problem::none:
        return FeedbackService::Server::usable;
    case platform::ServerAddress::Problem::empty:
        return FeedbackService::Server::none;
    default:
        return FeedbackService::Server::refused;
    }
}

QByteArray bytesOf(const std::string &text) {
    return QByteArray(text.data(), static_cast<qsizetype>(text.size()));
}

// The JSON form: the six texts and the address when there is one; never the screenshot.
QByteArray jsonBody(const FeedbackPayload &payload) {
    Json body = Json::object();
    body["text"] = payload.text;
    body["user_name"] = payload.userName;
    body["app_version"] = payload.appVersion;
    body["os_version"] = payload.osVersion;
    body["app_module"] = payload.appModule;
    body["diagnose"] = payload.diagnose;
    if (payload.submitterEmail && !payload.submitterEmail->empty()) {
        body["submitter_email"] = *payload.submitterEmail;
    }
    return bytesOf(encodeJsonText(body));
}

// The record id of a success answer: its string member "id", or "?" when it has none. A
// success is a success whatever the body holds: posting the record again would only file it
// twice.
QString recordIDIn(const QByteArray &body) {
    try {
        const Json answer = parseJsonText(std::string_view(body.constData(), body.size()));
        if (const auto id = answer.find("id");
            answer.is_object() && id != answer.end() && id->is_string()) {
            return QString::fromStdString(id->get<std::string>());
        }
    } catch (const DecodingError &) {
    }
    return QStringLiteral("?");
}

// The start of an answer's body, as much as a message shows of it (and an id answer needs).
// Once that is in, the transfer ends: the status is known, and a server cannot make the
// client hold, or wait for, what it goes on sending.
class AnswerBody {
public:
    static constexpr qsizetype keptBytes = 16 * 1024;

    void take(QNetworkReply &reply) {
        while (!cut_ && reply.bytesAvailable() > 0) {
            if (bytes_.size() == keptBytes) {
                cut_ = true;
            } else {
                bytes_ += reply.read(keptBytes - bytes_.size());
            }
        }
        if (cut_ && reply.isRunning()) {
            reply.abort();
        }
    }

    // What was kept; when the body was cut, without a character cut in half at its end.
    QByteArray kept() const {
        if (!cut_) {
            return bytes_;
        }
        const std::string_view bytes(bytes_.constData(), static_cast<std::size_t>(bytes_.size()));
        const std::size_t valid = validUTF8PrefixLength(bytes);
        return valid + 4 > bytes.size() ? bytes_.left(static_cast<qsizetype>(valid)) : bytes_;
    }

    // The exchange was cut off at its deadline, whatever had come by then.
    bool endedAtDeadline = false;

private:
    QByteArray bytes_;
    bool cut_ = false;
};

// An HTTP status is an answer even when the network layer also flags an error for it.
std::variant<QString, std::exception_ptr> answerOf(QNetworkReply &reply, AnswerBody &answer) {
    if (answer.endedAtDeadline) {
        return std::make_exception_ptr(FeedbackTransportError(
            QNetworkReply::TimeoutError,
            QStringLiteral("The server's answer did not come whole within the time-out")));
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        const int code = status.toInt();
        answer.take(reply);
        const QByteArray body = answer.kept();
        if (code < 200 || code > 299) {
            return std::make_exception_ptr(FeedbackError::httpError(code, body));
        }
        return recordIDIn(body);
    }
    if (reply.error() != QNetworkReply::NoError) {
        return std::make_exception_ptr(FeedbackTransportError(reply.error(), reply.errorString()));
    }
    return std::make_exception_ptr(FeedbackError::invalidResponse());
}

} // namespace

FeedbackService &FeedbackService::shared() {
    static FeedbackService *const service = [] {
        auto *made = new FeedbackService(standardConfiguration());
        made->setParent(QCoreApplication::instance());
        return made;
    }();
    return *service;
}

FeedbackService::Configuration FeedbackService::standardConfiguration() {
    return Configuration{configuredServer(), retryQueueStoreURL(), {}, true};
}

bool FeedbackService::drainAtStart() {
    const platform::ServerAddress server(configuredServer());
    if (!server.isAllowed()) {
        if (server.problem() != platform::ServerAddress::Problem::empty) {
            log()->warn("{} Feedback is kept until a usable server is configured.",
                        server.refusal(QStringLiteral("feedback")).toStdString());
        }
        return false;
    }
    const std::size_t waiting = shared().retryQueue().pendingCount();
    if (waiting > 0) {
        log()->info("Sending {} feedback record(s) kept by earlier runs", waiting);
    }
    return true;
}

QString FeedbackService::configuredServer() {
    if (qEnvironmentVariableIsSet("TANDREL_FEEDBACK_SERVER")) {
        return qEnvironmentVariable("TANDREL_FEEDBACK_SERVER");
    }
    return buildServer();
}

QString FeedbackService::buildServer() {
    return QStringLiteral(TANDREL_FEEDBACK_SERVER);
}

std::optional<QUrl> FeedbackService::endpointFor(const QString &server) {
    // Records carry the user's words and address: in the clear only to this machine.
    const platform::ServerAddress address(server);
    if (!address.isAllowed()) {
        return std::nullopt;
    }
    return address.url(QLatin1String(recordsPath));
}

std::optional<std::filesystem::path> FeedbackService::retryQueueStoreURL() {
    try {
        return applicationSupportDirectory() / "Tandrel" / "feedback_retry_queue.json";
    } catch (const std::runtime_error &) {
        return std::nullopt;
    }
}

FeedbackService::FeedbackService(Configuration configuration, QObject *parent)
    : QObject(parent), server_(configuration.server),
      drainsRetryQueue_(configuration.drainsRetryQueue),
      transferTimeout_(configuration.transferTimeout),
      exchangeDeadline_(configuration.exchangeDeadline),
      retryQueueFile_(configuration.retryQueueFile),
      retryQueue_(std::move(configuration.retryQueueFile), retryPauses, retryAttempts,
                  std::move(configuration.sleep)) {
    // Without a usable endpoint every attempt would fail the same way and use up the
    // record's attempts; the records wait in the file for a run that has one.
    if (drainsRetryQueue_ && server_.isAllowed()) {
        QTimer::singleShot(0, this, [this] {
            retryQueue_.setExecutor([this](const Payload &payload, RetryQueue::Completion done) {
                performSend(payload, [done = std::move(done)](Answer answer) {
                    const auto *failure = std::get_if<std::exception_ptr>(&answer);
                    done(failure != nullptr ? *failure : nullptr);
                });
            });
        });
    }
}

FeedbackService::~FeedbackService() {
    // No new attempt may start on a network that is going.
    retryQueue_.setExecutor({});
    // Posts still in flight end with the service, unreported.
    for (QNetworkReply *reply : network_.findChildren<QNetworkReply *>()) {
        reply->disconnect(this);
        reply->abort();
    }
    // A record whose first post had no answer would be lost with it: it waits in the queue's
    // file for the next run (if the server took it already, it arrives twice; better than never).
    for (const std::shared_ptr<Payload> &record : unanswered_) {
        retryQueue_.enqueue(std::move(*record));
    }
}

void FeedbackService::send(Payload payload, QObject *context,
                           std::function<void(const SendResult &)> done) {
    const QPointer<QObject> receiver = context != nullptr ? context : this;
    auto record = std::make_shared<Payload>(std::move(payload));
    unanswered_.push_back(record);
    performSend(*record, [this, record, receiver, done = std::move(done)](Answer answer) {
        std::erase(unanswered_, record);
        SendResult result;
        result.server = serverState(server_);
        result.serverProblem = server_.problemText();
        result.retriesHere = drainsRetryQueue_;
        result.hostHasServer = platform::ServerAddress(buildServer()).isAllowed();
        result.retryQueueFile = retryQueueFile_;
        if (const auto *id = std::get_if<QString>(&answer)) {
            result.recordID = *id;
        } else {
            try {
                std::rethrow_exception(std::get<std::exception_ptr>(answer));
            } catch (const FeedbackTransportError &error) {
                result.failure = QString::fromStdString(error.what());
                result.connectivityFailure =
                    error.kind() == FeedbackTransportError::Kind::noConnection;
                result.noAnswer = error.kind() == FeedbackTransportError::Kind::noAnswer;
            } catch (const std::exception &error) {
                result.failure = QString::fromStdString(error.what());
            }
            result.savedForRetry = retryQueue_.enqueue(std::move(*record));
            if (!result.savedForRetry) {
                result.notSavedBecause = QString::fromStdString(retryQueue_.fileProblem());
            }
            // Users read one sentence of what happened; the details are for whoever helps.
            log()->warn("Feedback not delivered: {} ({})", result.failure.toStdString(),
                        result.savedForRetry ? "kept in the retry queue's file"
                                             : "not saved to the retry queue's file");
        }
        if (receiver) {
            QMetaObject::invokeMethod(
                receiver.data(), [done, result] { done(result); }, Qt::QueuedConnection);
        }
    });
}

void FeedbackService::performSend(const Payload &payload, std::function<void(Answer)> done) {
    if (!server_.isAllowed()) {
        done(std::make_exception_ptr(
            FeedbackError::invalidURL(server_.refusal(QStringLiteral("feedback")))));
        return;
    }
    QNetworkRequest request(server_.url(QLatin1String(recordsPath)));
    request.setTransferTimeout(static_cast<int>(transferTimeout_.count()));
    // A redirect could lead the record anywhere, also in the clear; it is no delivery.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QByteArray body;
    if (payload.screenshotPNG) {
        const QByteArray boundary =
            "----TandrelFeedback-" + QByteArray::fromStdString(Uuid::random().uuidString());
        request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary);
        const Bytes &png = *payload.screenshotPNG;
        body = buildMultipart(payload,
                              QByteArray(reinterpret_cast<const char *>(png.data()),
                                         static_cast<qsizetype>(png.size())),
                              boundary);
    } else {
        request.setRawHeader("Content-Type", "application/json");
        body = jsonBody(payload);
    }
    QNetworkReply *reply = network_.post(request, body);
    auto answer = std::make_shared<AnswerBody>();
    // The transfer time-out counts only a silence: a server that answers a byte at a time
    // would hold the post for as long as it likes. The whole exchange ends at the deadline.
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, reply, [reply, answer] {
        answer->endedAtDeadline = true;
        reply->abort();
    });
    deadline->start(static_cast<int>(exchangeDeadline_.count()));
    connect(reply, &QNetworkReply::readyRead, this, [reply, answer] { answer->take(*reply); });
    connect(reply, &QNetworkReply::finished, this, [reply, answer, done = std::move(done)] {
        reply->deleteLater();
        done(answerOf(*reply, *answer));
    });
}

QByteArray FeedbackService::buildMultipart(const Payload &payload, const QByteArray &screenshot,
                                           const QByteArray &boundary) {
    static constexpr const char *crlf = "\r\n";
    QByteArray body;
    const auto addField = [&](const char *name, const std::string &value) {
        body += "--" + boundary + crlf;
        body += QByteArray("Content-Disposition: form-data; name=\"") + name + "\"" + crlf + crlf;
        body += bytesOf(value) + crlf;
    };
    addField("text", payload.text);
    addField("user_name", payload.userName);
    addField("app_version", payload.appVersion);
    addField("os_version", payload.osVersion);
    addField("app_module", payload.appModule);
    addField("diagnose", payload.diagnose);
    if (payload.submitterEmail && !payload.submitterEmail->empty()) {
        addField("submitter_email", *payload.submitterEmail);
    }
    body += "--" + boundary + crlf;
    body += QByteArray("Content-Disposition: form-data; name=\"screenshot\"; "
                       "filename=\"feedback.png\"") +
            crlf;
    body += QByteArray("Content-Type: image/png") + crlf + crlf;
    body += screenshot + crlf;
    body += "--" + boundary + "--" + crlf;
    return body;
}

QString FeedbackService::appVersion() {
    return appVersionText(QStringLiteral(TANDREL_APP_VERSION),
                          QStringLiteral(TANDREL_BUILD_NUMBER));
}

QString FeedbackService::osVersion() {
    return linuxVersionText(QSysInfo::kernelVersion());
}

QString FeedbackService::osName() {
    return QStringLiteral("Linux");
}

QString FeedbackService::loginName() {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return QString::fromLocal8Bit(found->pw_name);
    }
    const QString user = qEnvironmentVariable("USER");
    return user.isEmpty() ? qEnvironmentVariable("LOGNAME") : user;
}

QString FeedbackService::sammeleDiagnose(const QString &appStateSummary) const {
    return FeedbackDiagnostics{QDateTime::currentDateTime(), appVersion(), osVersion(),
                               appStateSummary}
        .text();
}

} // namespace tandrel
