// Feedback that earlier runs kept for retry goes out when the host starts, not only once the
// user sends another.
#include "host/app/tests/HostProcess.h"
#include "host/feedback/FeedbackPayload.h"
#include "host/feedback/RetryQueueFile.h"
#include "host/feedback/tests/LoopbackServer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tandrel {
namespace {

std::string contents(const std::filesystem::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(HostStart, SendsTheFeedbackEarlierRunsKeptOnce) {
    testing::LoopbackServer server;
    QTemporaryDir home;
    QProcessEnvironment environment = testing::hostEnvironment(home);
    environment.insert(QStringLiteral("TANDREL_FEEDBACK_SERVER"), server.server());

    const std::filesystem::path queue =
        home.filePath(QStringLiteral("XDG_DATA_HOME/Tandrel/feedback_retry_queue.json"))
            .toStdString();
    std::filesystem::create_directories(queue.parent_path());
    const FeedbackPayload kept{"kept from yesterday",       "ada",      "0.1.0 (7)",  "Linux 6.1.0",
                               "Embrik \u2013 Main Window", "diagnose", std::nullopt, std::nullopt};
    std::ofstream(queue, std::ios::binary) << RetryQueueFile::encode(
        std::vector{RetryQueueEntry<FeedbackPayload>{Uuid::random(), kept, std::nullopt, 2}});

    QProcess host;
    host.setProcessEnvironment(environment);
    host.setProcessChannelMode(QProcess::MergedChannels);
    host.start(QStringLiteral(EMBRIK_HOST_PATH), {});
    ASSERT_TRUE(host.waitForStarted());
    const bool sent = QTest::qWaitFor([&] { return contents(queue) == "[]"; }, 60'000);
    host.terminate();
    ASSERT_TRUE(host.waitForFinished(30'000));
    ASSERT_TRUE(sent) << host.readAll().toStdString();

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(Json::parse(requests[0].body)["text"], kept.text);
}

} // namespace
} // namespace tandrel
