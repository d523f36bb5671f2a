#include "host/feedback/FeedbackDiagnostics.h"
#include "host/feedback/FeedbackDraft.h"
#include "host/feedback/FeedbackStatus.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

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
    FeedbackDraft draft{" \n Crashes on export \n", " ada@example.com \t", QByteArray("png"),
                        "Settings", "ada", "0.1.0 (7)", "Linux 6.1.0", "block"};
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

// The reassuring words only for what will really go out later; a failure that was not saved
// reads as it is.
TEST(FeedbackStatus, ChoosesTheLineAndWhetherItReadsAsGood) {
    using Result = FeedbackService::SendResult;
    const QString offline =
        QStringLiteral("No network right now \u2014 feedback is saved and will be sent automatically.");
    const struct {
        Result result;
        QString text;
        bool ok;
    } cases[] = {
        {{QStringLiteral("abc"), {}, false, false}, "Thanks! Feedback received (ID: abc)", true},
        {{QStringLiteral("?"), {}, false, false}, "Thanks! Feedback received (ID: ?)", true},
        {{std::nullopt, "Connection refused", true, true}, offline, true},
        {{std::nullopt, "Connection refused", true, false}, "Connection refused", false},
        {{std::nullopt, "HTTP 413: too large", false, true},
         "HTTP 413: too large \u2014 feedback is saved and will be sent automatically.", false},
        {{std::nullopt, "Invalid feedback URL", false, true},
         "Invalid feedback URL \u2014 feedback is saved and will be sent automatically.", false},
        {{std::nullopt, "HTTP 413: too large", false, false}, "HTTP 413: too large", false},
    };
    for (const auto &c : cases) {
        const FeedbackStatus status = FeedbackStatus::of(c.result);
        EXPECT_EQ(status.text, c.text);
        EXPECT_EQ(status.ok, c.ok) << c.text.toStdString();
    }
}

} // namespace
} // namespace tandrel
