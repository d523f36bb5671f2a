#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackService.h"
#include "host/feedback/FeedbackStatus.h"
#include "host/feedback/tests/LoopbackServer.h"

#include "core/tests/FileMode.h"
#include "core/tests/LogCapture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"

#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace tandrel {
namespace {

using testing::LogCapture;
using testing::LoopbackServer;
using testing::ScopedEnvironmentVariable;
using testing::TemporaryFolder;
using SendResult = FeedbackService::SendResult;

FeedbackPayload record(std::string text = "Export stalls at 99 %") {
    return {std::move(text), "ada",        "0.1.0 (7)", "Linux 6.1.0", "Embrik \u2013 Main Window",
            "diagnose",      std::nullopt, std::nullopt};
}

std::string read(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<RetryQueueEntry<FeedbackPayload>> queued(const std::filesystem::path &path) {
    return RetryQueueFile::decode<FeedbackPayload>(read(path)).entries;
}

bool waitFor(const std::function<bool()> &condition) {
    return QTest::qWaitFor(condition, 30000);
}

class FeedbackServiceTest : public ::testing::Test {
protected:
    std::unique_ptr<FeedbackService> make(const QString &server) {
        return make(FeedbackService::Configuration{server, queueFile, {}, true});
    }
    std::unique_ptr<FeedbackService> make(FeedbackService::Configuration configuration) {
        // Pauses never end here: what a test sees is the attempt before one.
        configuration.sleep = [this](double seconds, std::function<void()>) {
            pauses.push_back(seconds);
        };
        return std::make_unique<FeedbackService>(std::move(configuration));
    }

    static SendResult send(FeedbackService &service, FeedbackPayload payload) {
        std::optional<SendResult> result;
        service.send(std::move(payload), nullptr, [&](const SendResult &r) { result = r; });
        EXPECT_TRUE(waitFor([&] { return result.has_value(); }));
        return result.value_or(SendResult{});
    }

    TemporaryFolder temp;
    std::filesystem::path queueFile = temp.path() / "Tandrel" / "feedback_retry_queue.json";
    std::vector<double> pauses;
};

TEST_F(FeedbackServiceTest, PostsARecordWithoutScreenshotAsJsonWithSixOrSevenMembers) {
    const struct {
        std::optional<std::string> email;
        std::set<std::string> members;
    } cases[] = {
        {std::nullopt,
         {"text", "user_name", "app_version", "os_version", "app_module", "diagnose"}},
        {"", {"text", "user_name", "app_version", "os_version", "app_module", "diagnose"}},
        {"ada@example.com",
         {"text", "user_name", "app_version", "os_version", "app_module", "diagnose",
          "submitter_email"}},
    };
    for (const auto &c : cases) {
        LoopbackServer server;
        auto service = make(server.server());
        FeedbackPayload payload = record("  kept as typed \n");
        payload.submitterEmail = c.email;

        const SendResult result = send(*service, payload);
        EXPECT_EQ(result.recordID, QStringLiteral("abc"));
        EXPECT_EQ(FeedbackStatus::of(result).text, "Thanks! Feedback received (ID: abc)");

        ASSERT_EQ(server.requestCount(), 1u);
        const auto request = server.requests().front();
        EXPECT_EQ(request.contentType, "application/json");
        const Json body = Json::parse(request.body);
        std::set<std::string> members;
        for (const auto &[key, value] : body.items()) {
            members.insert(key);
        }
        EXPECT_EQ(members, c.members);
        EXPECT_EQ(body["text"], "  kept as typed \n");
        EXPECT_EQ(body["app_module"], "Embrik \u2013 Main Window");
        EXPECT_EQ(service->retryQueue().pendingCount(), 0u);
        EXPECT_FALSE(std::filesystem::exists(queueFile));
    }
}

TEST(FeedbackMultipart, IsBuiltByteForByte) {
    FeedbackPayload payload{"Hi", "", "1.0 (2)", "Linux 6.1.0", "m", "", {}, "a@b.c"};
    const QByteArray delimiter = "--B\r\n";
    const auto part = [&](const char *name, const char *value) {
        return delimiter + "Content-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value +
               "\r\n";
    };
    const QByteArray screenshotHead =
        delimiter +
        "Content-Disposition: form-data; name=\"screenshot\"; filename=\"feedback.png\"\r\n"
        "Content-Type: image/png\r\n\r\n";
    const QByteArray textParts =
        part("text", "Hi") + part("user_name", "") + part("app_version", "1.0 (2)") +
        part("os_version", "Linux 6.1.0") + part("app_module", "m") + part("diagnose", "");

    EXPECT_EQ(FeedbackService::buildMultipart(payload, QByteArray(), "B"),
              textParts + part("submitter_email", "a@b.c") + screenshotHead + "\r\n--B--\r\n");

    payload.submitterEmail = "";
    const QByteArray png("\x89PNG\r\n\x1a\n\0", 9);
    EXPECT_EQ(FeedbackService::buildMultipart(payload, png, "B"),
              textParts + screenshotHead + png + "\r\n--B--\r\n");
}

TEST_F(FeedbackServiceTest, PostsARecordWithScreenshotAsMultipartForm) {
    for (const Bytes &png : {Bytes{}, Bytes{0x89, 'P', 'N', 'G', 0, '\r', '\n'}}) {
        LoopbackServer server;
        auto service = make(server.server());
        FeedbackPayload payload = record();
        payload.screenshotPNG = png;
        payload.submitterEmail = "ada@example.com";

        EXPECT_EQ(send(*service, payload).recordID, QStringLiteral("abc"));

        ASSERT_EQ(server.requestCount(), 1u);
        const auto request = server.requests().front();
        EXPECT_TRUE(
            QRegularExpression(QStringLiteral("^multipart/form-data; boundary=----TandrelFeedback-"
                                              "[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-"
                                              "[0-9A-F]{12}$"))
                .match(QString::fromStdString(request.contentType))
                .hasMatch())
            << request.contentType;
        ASSERT_EQ(request.parts.size(), 8u);
        EXPECT_EQ(request.parts.at("text").content, payload.text);
        EXPECT_EQ(request.parts.at("submitter_email").content, "ada@example.com");
        const auto &screenshot = request.parts.at("screenshot");
        EXPECT_EQ(screenshot.filename, "feedback.png");
        EXPECT_EQ(screenshot.contentType, "image/png");
        EXPECT_EQ(screenshot.content, std::string(png.begin(), png.end()));
    }
}

// Any 2xx answer is a delivery, whatever its body: posting again would only file it twice.
TEST_F(FeedbackServiceTest, AnySuccessStatusIsDeliveredAndNeverQueued) {
    struct Case {
        int status;
        std::string body;
        QString recordID;
    };
    const std::vector<Case> cases{
        {201, R"({"id":"abc"})", "abc"},   {200, R"({"id":5})", "?"},
        {200, R"({"ok":true})", "?"},      {200, R"(["abc"])", "?"},
        {200, "<html>thanks</html>", "?"}, {204, "", "?"},
    };
    for (const auto &c : cases) {
        LoopbackServer server({{c.status, c.body}});
        auto service = make(server.server());
        const SendResult result = send(*service, record());
        EXPECT_EQ(result.recordID, c.recordID) << c.body;
        EXPECT_TRUE(FeedbackStatus::of(result).ok);
        EXPECT_EQ(server.requestCount(), 1u);
        EXPECT_EQ(service->retryQueue().pendingCount(), 0u);
        EXPECT_FALSE(std::filesystem::exists(queueFile));
    }
}

TEST_F(FeedbackServiceTest, ARefusedRecordIsDescribedQueuedAndRetriedAtOnce) {
    QString accents;
    for (int i = 0; i < 250; ++i) {
        accents += QStringLiteral("e\u0301");
    }
    struct Case {
        int status;
        std::string body;
        QString failure;
    };
    const std::vector<Case> cases{
        {404, "not here", "HTTP 404: not here"},
        {413, "too large", "HTTP 413: too large"},
        // Not followed: a redirect could lead the record anywhere.
        {302, "", "HTTP 302: "},
        {500, "\xff\xfe", "HTTP 500: "},
        // 250 user-perceived characters of two code points each; 200 are shown.
        {500, accents.toStdString(), "HTTP 500: " + accents.left(400)},
    };
    for (const auto &c : cases) {
        std::filesystem::remove_all(queueFile.parent_path());
        pauses.clear();
        LoopbackServer server({{c.status, c.body}});
        auto service = make(server.server());
        const LogCapture log("com.ostrevale.tandrel.host", "feedback");

        const SendResult result = send(*service, record());
        EXPECT_FALSE(result.delivered());
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_FALSE(result.connectivityFailure);
        EXPECT_TRUE(result.savedForRetry);
        // The user reads what happened and what comes next; the server's words go to the log.
        EXPECT_EQ(FeedbackStatus::of(result).text,
                  "The feedback server did not take the feedback \u2014 it is saved and will be "
                  "tried again automatically.");
        EXPECT_FALSE(FeedbackStatus::of(result).ok);
        EXPECT_NE(log.text().find("Feedback not delivered: " + c.failure.toStdString()),
                  std::string::npos)
            << log.text();

        // The queue posts it again at once and pauses only after that fails too.
        EXPECT_TRUE(waitFor([&] { return !pauses.empty(); }));
        EXPECT_EQ(server.requestCount(), 2u);
        const auto entries = queued(queueFile);
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].operation, record());
        EXPECT_EQ(entries[0].attempts, 1);
    }
}

// Answers every post with the status and a body without end, as long as the client reads.
class EndlessAnswers {
public:
    explicit EndlessAnswers(int status) {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this, status] {
            QTcpSocket *connection = server_.nextPendingConnection();
            QObject::connect(connection, &QTcpSocket::readyRead, [connection, status] {
                if (!connection->readAll().contains("\r\n\r\n")) {
                    return;
                }
                connection->write(QStringLiteral("HTTP/1.1 %1 Answer\r\nContent-Type: "
                                                 "text/plain\r\nTransfer-Encoding: chunked\r\n\r\n")
                                      .arg(status)
                                      .toLatin1());
                const auto more = [connection] {
                    if (connection->bytesToWrite() < (1 << 20)) {
                        connection->write("10000\r\n" + QByteArray(0x10000, 'x') + "\r\n");
                    }
                };
                QObject::connect(connection, &QTcpSocket::bytesWritten, connection, more);
                more();
            });
        });
    }
    QString server() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }

private:
    QTcpServer server_;
};

// A server may answer with a body without end: the service reads what its message shows and
// ends the transfer there, instead of holding (and waiting for) it all.
TEST_F(FeedbackServiceTest, ReadsNoMoreOfAnAnswerThanItsMessageUses) {
    const struct {
        int status;
        QString failure;
        std::optional<QString> recordID;
    } cases[] = {
        {500, "HTTP 500: " + QString(200, u'x'), std::nullopt},
        // A success is a success, whatever follows its first bytes.
        {201, QString(), QStringLiteral("?")},
    };
    for (const auto &c : cases) {
        std::filesystem::remove_all(queueFile.parent_path());
        EndlessAnswers server(c.status);
        auto service = make(server.server());
        const SendResult result = send(*service, record());
        EXPECT_EQ(result.failure, c.failure);
        EXPECT_EQ(result.recordID, c.recordID);
    }
}

// A server that is slow to answer, or that closes the connection without answering, is no
// missing network. Either may have filed the record already: the retry then files it twice,
// which no client can tell from a record that was lost.
TEST_F(FeedbackServiceTest, AServerThatDoesNotAnswerIsToldFromNoNetwork) {
    for (const bool closes : {false, true}) {
        SCOPED_TRACE(closes ? "closes the connection" : "never answers");
        std::filesystem::remove_all(queueFile.parent_path());
        pauses.clear();
        QTcpServer quiet;
        ASSERT_TRUE(quiet.listen(QHostAddress::LocalHost));
        int posts = 0;
        QObject::connect(&quiet, &QTcpServer::newConnection, [&] {
            QTcpSocket *connection = quiet.nextPendingConnection();
            QObject::connect(connection, &QTcpSocket::readyRead, [&, connection] {
                if (connection->readAll().contains("\r\n\r\n")) {
                    ++posts;
                }
                if (closes) {
                    connection->close();
                }
            });
        });
        FeedbackService::Configuration configuration{
            QStringLiteral("http://127.0.0.1:%1").arg(quiet.serverPort()), queueFile, {}, true};
        configuration.transferTimeout = std::chrono::milliseconds(200);
        auto service = make(configuration);

        const SendResult result = send(*service, record());
        EXPECT_TRUE(result.noAnswer);
        EXPECT_FALSE(result.connectivityFailure);
        EXPECT_TRUE(result.savedForRetry);
        EXPECT_EQ(FeedbackStatus::of(result).text,
                  "The feedback server did not answer \u2014 feedback is saved and will be sent "
                  "again automatically.");
        // The retry posts it again (and on a connection closed without an answer, the network
        // layer has already posted it once more by itself).
        EXPECT_TRUE(waitFor([&] { return !pauses.empty(); }));
        EXPECT_EQ(posts, closes ? 3 : 2);
    }
}

// A server that never falls silent, but sends its answer a byte at a time, keeps no client
// waiting beyond the exchange's deadline: the record is then saved like one that got no answer.
TEST_F(FeedbackServiceTest, TheWholeExchangeEndsAtItsDeadlineHoweverSteadilyTheServerSends) {
    QTcpServer trickle;
    ASSERT_TRUE(trickle.listen(QHostAddress::LocalHost));
    QTimer drip;
    QList<QTcpSocket *> connections;
    QObject::connect(&trickle, &QTcpServer::newConnection, [&] {
        QTcpSocket *connection = trickle.nextPendingConnection();
        connections << connection;
        QObject::connect(connection, &QTcpSocket::readyRead, [connection] {
            if (connection->readAll().contains("\r\n\r\n")) {
                connection->write("HTTP/1.1 201 Created\r\nContent-Length: 100000\r\n\r\n{");
            }
        });
    });
    QObject::connect(&drip, &QTimer::timeout, [&] {
        for (QTcpSocket *connection : connections) {
            if (connection->state() == QAbstractSocket::ConnectedState) {
                connection->write(" ");
            }
        }
    });
    drip.start(10);
    FeedbackService::Configuration configuration{
        QStringLiteral("http://127.0.0.1:%1").arg(trickle.serverPort()), queueFile, {}, false};
    // Each byte comes well within the time-out of silence.
    configuration.transferTimeout = std::chrono::milliseconds(60'000);
    configuration.exchangeDeadline = std::chrono::milliseconds(300);
    auto service = make(configuration);

    const SendResult result = send(*service, record());
    EXPECT_FALSE(result.delivered());
    EXPECT_TRUE(result.noAnswer) << result.failure.toStdString();
    EXPECT_TRUE(result.savedForRetry);
    EXPECT_EQ(queued(queueFile).size(), 1u);
}

// The form may close while a record is in flight: the record still goes, or waits.
TEST_F(FeedbackServiceTest, ASendOutlivesTheObjectThatAwaitsIt) {
    LoopbackServer server({{500, "busy"}});
    auto service = make(server.server());
    bool called = false;
    auto *form = new QObject;
    service->send(record(), form, [&](const SendResult &) { called = true; });
    delete form;

    EXPECT_TRUE(waitFor([&] { return service->retryQueue().pendingCount() == 1; }));
    EXPECT_GE(server.requestCount(), 1u);
    QTest::qWait(0);
    EXPECT_FALSE(called);
}

// The application may quit while the first post of a record has no answer yet: the record is
// then only in that post, and must not go with it.
TEST_F(FeedbackServiceTest, ARecordStillInFlightWhenTheServiceEndsIsQueued) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    bool received = false;
    QObject::connect(&silent, &QTcpServer::newConnection, [&] {
        QTcpSocket *connection = silent.nextPendingConnection();
        QObject::connect(connection, &QTcpSocket::readyRead, [&] { received = true; });
    });
    bool called = false;
    {
        auto service = make(QStringLiteral("http://127.0.0.1:%1").arg(silent.serverPort()));
        service->send(record("typed before quitting"), nullptr,
                      [&](const SendResult &) { called = true; });
        ASSERT_TRUE(waitFor([&] { return received; }));
    }
    EXPECT_FALSE(called);
    const auto entries = queued(queueFile);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].operation, record("typed before quitting"));
    EXPECT_EQ(entries[0].attempts, 0);
}

TEST_F(FeedbackServiceTest, WithNobodyListeningTheRecordJoinsTheQueueInTheUserDataFolder) {
    const ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", temp.path().string());
    const QString closed = LoopbackServer::closedServer();
    const ScopedEnvironmentVariable server("TANDREL_FEEDBACK_SERVER", closed.toStdString());
    std::filesystem::create_directories(queueFile.parent_path());
    std::ofstream(queueFile) << RetryQueueFile::encode(
        std::vector{RetryQueueEntry<FeedbackPayload>{Uuid::random(), record("earlier"), {}, 0}});

    const FeedbackService::Configuration standard = FeedbackService::standardConfiguration();
    EXPECT_EQ(standard.server, closed);
    EXPECT_EQ(standard.retryQueueFile, queueFile);
    auto service = make(standard);

    const SendResult result = send(*service, record("offline"));
    EXPECT_FALSE(result.delivered());
    EXPECT_TRUE(result.connectivityFailure);
    EXPECT_TRUE(result.savedForRetry);
    EXPECT_EQ(FeedbackStatus::of(result).text,
              "No network right now \u2014 feedback is saved and will be sent automatically.");
    EXPECT_TRUE(FeedbackStatus::of(result).ok);
    const auto entries = queued(queueFile);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].operation.text, "earlier");
    EXPECT_EQ(entries[1].operation.text, "offline");
}

TEST_F(FeedbackServiceTest, WithoutAServerNothingLeavesAndRecordsWaitUntried) {
    std::filesystem::create_directories(queueFile.parent_path());
    std::ofstream(queueFile) << RetryQueueFile::encode(
        std::vector{RetryQueueEntry<FeedbackPayload>{Uuid::random(), record("earlier"), {}, 0}});
    auto service = make(QString());

    const SendResult result = send(*service, record());
    EXPECT_EQ(result.failure, "No feedback server is configured.");
    EXPECT_FALSE(result.connectivityFailure);
    EXPECT_TRUE(result.savedForRetry);
    EXPECT_EQ(result.server, FeedbackService::Server::none);
    EXPECT_EQ(FeedbackStatus::of(result).text,
              QStringLiteral("Feedback cannot be sent from this build: no feedback server is "
                             "configured. It is kept in %1.")
                  .arg(QString::fromStdString(queueFile.string())));
    EXPECT_FALSE(FeedbackStatus::of(result).ok);

    QTest::qWait(0);
    EXPECT_TRUE(pauses.empty());
    const auto entries = queued(queueFile);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].attempts, 0);
    EXPECT_EQ(entries[1].attempts, 0);
}

TEST_F(FeedbackServiceTest, RecordsLeftByAnEarlierRunGoOutFromTheStart) {
    std::filesystem::create_directories(queueFile.parent_path());
    std::ofstream(queueFile) << RetryQueueFile::encode(
        std::vector{RetryQueueEntry<FeedbackPayload>{Uuid::random(), record("first"), {}, 3},
                    RetryQueueEntry<FeedbackPayload>{Uuid::random(), record("second"), {}, 0}});
    LoopbackServer server;
    auto service = make(server.server());

    EXPECT_TRUE(waitFor([&] { return service->retryQueue().pendingCount() == 0; }));
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(Json::parse(requests[0].body)["text"], "first");
    EXPECT_EQ(Json::parse(requests[1].body)["text"], "second");
    EXPECT_EQ(read(queueFile), "[]");
}

TEST(FeedbackDiagnostics, HasSixLinesForAOneLineSummary) {
    const FeedbackDiagnostics diagnostics{QDateTime(QDate(2026, 3, 10), QTime(14, 25)), "0.1.0 (7)",
                                          "Linux 6.1.0", "Geladene Libraries: 1"};
    const QStringList lines =
        diagnostics.text(QLocale(QLocale::German, QLocale::Germany)).split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], "=== Embrik Diagnose ===");
    EXPECT_TRUE(lines[1].startsWith("Datum: 10.03.26")) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].contains("14:25"));
    EXPECT_EQ(lines[2], "App-Version: 0.1.0 (7)");
    EXPECT_EQ(lines[3], "System: Linux 6.1.0");
    EXPECT_EQ(lines[4], "");
    EXPECT_EQ(lines[5], "Geladene Libraries: 1");

    FeedbackService service({});
    const QStringList block = service.sammeleDiagnose("a\nb").split(u'\n');
    ASSERT_EQ(block.size(), 7);
    EXPECT_EQ(block[2], "App-Version: " + FeedbackService::appVersion());
    EXPECT_EQ(block[3], "System: " + FeedbackService::osVersion());
}

TEST(FeedbackVersions, TellTheTruthAboutThisBuildAndSystem) {
    const struct {
        const char *release;
        const char *text;
    } kernels[] = {
        {"6.1.0-18-amd64", "Linux 6.1.0"},
        {"5.10", "Linux 5.10.0"},
        {"6.8.0-rc3+", "Linux 6.8.0"},
        {"4.19.112.7-generic", "Linux 4.19.112"},
        {"6", "Linux 6.0.0"},
        {"6..2", "Linux 6.0.0"},
        {"", "Linux 0.0.0"},
        {"99999999999999999999999.1", "Linux 0.1.0"},
    };
    for (const auto &k : kernels) {
        EXPECT_EQ(linuxVersionText(k.release), k.text) << k.release;
    }
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^Linux \\d+\\.\\d+\\.\\d+$"))
                    .match(FeedbackService::osVersion())
                    .hasMatch());

    EXPECT_EQ(appVersionText("1.4", "12"), "1.4 (12)");
    EXPECT_EQ(appVersionText("1.4", ""), "1.4 (0)");
    EXPECT_EQ(appVersionText("", ""), "0 (0)");
}

} // namespace
} // namespace tandrel
