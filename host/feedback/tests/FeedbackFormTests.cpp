#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackDraft.h"
#include "host/feedback/FeedbackStatus.h"

#include "core/tests/ScopedEnvironmentVariable.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using testing::ScopedEnvironmentVariable;

TEST(AppStateSummary, NamesLibrariesTimelineAndPreset) {
    using Timeline = AppStateSummary::Timeline;
    using Preset = AppStateSummary::Preset;
    const struct {
        AppStateSummary summary;
        const char *text;
    } cases[] = {
        {{}, "Geladene Libraries: 0\nAktive Timeline: keine"},
        {{1, Timeline{"Cut 3", "Show"}, std::nullopt},
         "Geladene Libraries: 1\nAktive Timeline: Cut 3 (Show)"},
        {{2, std::nullopt, Preset{"Conform", 4}},
         "Geladene Libraries: 2\nAktive Timeline: keine\nAktives Preset: Conform (4 Elemente)"},
        // Names are text, also where they look like placeholders.
        {{1, Timeline{"50%2 %1", "Lib %2"}, Preset{"Take %1%2", 0}},
         "Geladene Libraries: 1\nAktive Timeline: 50%2 %1 (Lib %2)\n"
         "Aktives Preset: Take %1%2 (0 Elemente)"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.summary.text(), QString::fromUtf8(c.text));
    }
}

TEST(FeedbackDraft, SendsTheTextAsTypedAndTheAddressTrimmedOrNotAtAll) {
    FeedbackDraft draft{" \n Crashes on export \n",
                        " ada@example.com \t",
                        QByteArray("png"),
                        "Settings",
                        "ada",
                        "0.1.0 (7)",
                        "Linux 6.1.0",
                        "block"};
    FeedbackPayload payload = draft.payload();
    EXPECT_EQ(payload, (FeedbackPayload{" \n Crashes on export \n", "ada", "0.1.0 (7)",
                                        "Linux 6.1.0", "Embrik \u2013 Settings", "block",
                                        Bytes{'p', 'n', 'g'}, "ada@example.com"}));

    draft.submitterEmail = " \n\t";
    draft.screenshotPNG.reset();
    draft.herkunft = "Main Window";
    payload = draft.payload();
    EXPECT_EQ(payload.submitterEmail, std::nullopt);
    EXPECT_EQ(payload.screenshotPNG, std::nullopt);
    EXPECT_EQ(payload.appModule, "Embrik \u2013 Main Window");
}

// The line tells what happened and what comes next, and promises that a record "will be sent
// automatically" only where it will be: a usable server, the record in the queue's file, and
// a sender that works the queue off (the host; the command-line tool leaves it to the host's
// next start). The server's words are never part of it.
TEST(FeedbackStatus, SaysWhatHappenedAndOnlyPromisesWhatWillHappen) {
    using Result = FeedbackService::SendResult;
    using Server = FeedbackService::Server;
    const ScopedEnvironmentVariable home("HOME", "/home/ada");
    const std::filesystem::path file = "/home/ada/.local/share/Tandrel/feedback_retry_queue.json";
    const QString kept =
        QStringLiteral(" It is kept in ~/.local/share/Tandrel/feedback_retry_queue.json.");
    const QString userInfo = QStringLiteral("a user name or password is not allowed in it");

    enum class Outcome { delivered, noConnection, noAnswer, notTaken };
    enum class Sender { host, tool };
    const struct {
        bool configured;
        bool addressAllowed;
        Outcome outcome;
        bool savedForRetry;
        Sender sender;
        QString text;
        bool ok;
        // Whether a host of this build has a server of its own.
        bool hostHasServer = true;
    } cases[] = {
        {true, true, Outcome::delivered, false, Sender::host, "Thanks! Feedback received (ID: abc)",
         true},
        {true, true, Outcome::delivered, false, Sender::tool, "Thanks! Feedback received (ID: abc)",
         true},
        {true, true, Outcome::noConnection, true, Sender::host,
         "No network right now \u2014 feedback is saved and will be sent automatically.", true},
        {true, true, Outcome::noConnection, true, Sender::tool,
         "No network right now \u2014 feedback is saved in "
         "~/.local/share/Tandrel/feedback_retry_queue.json; Embrik Host sends it when it next "
         "starts.",
         true},
        // A slow server, or one that closes the connection, is no missing network.
        {true, true, Outcome::noAnswer, true, Sender::host,
         "The feedback server did not answer \u2014 feedback is saved and will be sent again "
         "automatically.",
         true},
        {true, true, Outcome::noAnswer, true, Sender::tool,
         "The feedback server did not answer \u2014 feedback is saved in "
         "~/.local/share/Tandrel/feedback_retry_queue.json; Embrik Host sends it again when it "
         "next starts.",
         true},
        // The tool had its server from the environment; a host of this build has none.
        {true, true, Outcome::noConnection, true, Sender::tool,
         "No network right now \u2014 feedback is saved in "
         "~/.local/share/Tandrel/feedback_retry_queue.json; Embrik Host sends it when it next "
         "starts with a feedback server configured.",
         true, false},
        {true, true, Outcome::notTaken, true, Sender::tool,
         "The feedback server did not take the feedback \u2014 it is saved in "
         "~/.local/share/Tandrel/feedback_retry_queue.json; Embrik Host tries again when it "
         "next starts with a feedback server configured.",
         false, false},
        {true, true, Outcome::notTaken, true, Sender::host,
         "The feedback server did not take the feedback \u2014 it is saved and will be tried "
         "again automatically.",
         false},
        {true, true, Outcome::notTaken, true, Sender::tool,
         "The feedback server did not take the feedback \u2014 it is saved in "
         "~/.local/share/Tandrel/feedback_retry_queue.json; Embrik Host tries again when it "
         "next starts.",
         false},
        {true, true, Outcome::noConnection, false, Sender::host,
         "Feedback could not be sent or saved \u2014 it will be tried again while Embrik Host "
         "runs.",
         false},
        {true, true, Outcome::notTaken, false, Sender::tool,
         "Feedback could not be sent or kept \u2014 send it again later.", false},
        {false, false, Outcome::notTaken, true, Sender::host,
         "Feedback cannot be sent from this build: no feedback server is configured." + kept,
         false},
        {false, false, Outcome::notTaken, true, Sender::tool,
         "Feedback cannot be sent from this build: no feedback server is configured." + kept,
         false},
        {false, false, Outcome::notTaken, false, Sender::host,
         "Feedback cannot be sent from this build: no feedback server is configured, and it "
         "could not be kept.",
         false},
        {true, false, Outcome::notTaken, true, Sender::host,
         "Feedback cannot be sent with this feedback server address: " + userInfo + "." + kept,
         false},
        {true, false, Outcome::notTaken, true, Sender::tool,
         "Feedback cannot be sent with this feedback server address: " + userInfo + "." + kept,
         false},
        {true, false, Outcome::notTaken, false, Sender::tool,
         "Feedback cannot be sent with this feedback server address: " + userInfo +
             ", and it could not be kept.",
         false},
    };
    for (const auto &c : cases) {
        Result result;
        if (c.outcome == Outcome::delivered) {
            result.recordID = QStringLiteral("abc");
        } else {
            result.failure = c.outcome == Outcome::noConnection
                                 ? QStringLiteral("Connection refused")
                                 : QStringLiteral("HTTP 413: {\"code\":413}");
            result.connectivityFailure = c.outcome == Outcome::noConnection;
            result.noAnswer = c.outcome == Outcome::noAnswer;
            result.savedForRetry = c.savedForRetry;
        }
        result.hostHasServer = c.hostHasServer;
        result.server = !c.configured      ? Server::none
                        : c.addressAllowed ? Server::usable
                                           : Server::refused;
        result.serverProblem = result.server == Server::refused ? userInfo : QString();
        result.retriesHere = c.sender == Sender::host;
        result.retryQueueFile = file;

        const FeedbackStatus status = FeedbackStatus::of(result);
        EXPECT_EQ(status.text, c.text);
        EXPECT_EQ(status.ok, c.ok) << c.text.toStdString();
        EXPECT_FALSE(status.text.contains(u'{')) << status.text.toStdString();
    }
}

} // namespace
} // namespace tandrel
