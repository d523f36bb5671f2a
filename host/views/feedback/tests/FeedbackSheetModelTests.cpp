#include "host/views/feedback/FeedbackSheetModel.h"

#include "core/model/DisplayConfig.h"
#include "host/query/TimelineChoice.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

TEST(FeedbackSheetModel, FormatsSizesInKilobytesBelowOneMegabyte) {
    const struct {
        qint64 count;
        const char *text;
    } cases[] = {
        {0, "0 KB"},
        {1023, "1 KB"},
        {1'048'575, "1024 KB"},
        {1'048'576, "1.0 MB"},
        {1'572'864, "1.5 MB"},
        {52'428'800, "50.0 MB"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FeedbackSheetModel::formatBytes(c.count), QString::fromLatin1(c.text)) << c.count;
    }
}

TEST(FeedbackSheetModel, SummarisesLibrariesTheActiveTimelineAndPreset) {
    const std::vector<TimelineChoice> timelines{
        {"t1", "Cut 3", "Show", "Day 1", "Day 1", 12},
        {"t2", "Cut 4", "Show", "Day 1", "Day 1", 9},
        // The same id again: the first entry is the one.
        {"t1", "Cut 3 (copy)", "Other", "Day 2", "Day 2", 1},
    };
    const std::vector<DisplayConfig> presets{
        DisplayConfig(Uuid::random(), "Conform", true,
                      std::vector<BurnInElement>(4, BurnInElement(MetadataField::clipName))),
        DisplayConfig(Uuid::random(), "Empty", false, {}),
    };
    const struct {
        std::size_t libraries;
        std::optional<std::string> activeTimelineID;
        std::optional<std::size_t> activePreset;
        const char *text;
    } cases[] = {
        {1, "t1", std::nullopt, "Geladene Libraries: 1\nAktive Timeline: Cut 3 (Show)"},
        {2, "t2", 0, "Geladene Libraries: 2\nAktive Timeline: Cut 4 (Show)\n"
                     "Aktives Preset: Conform (4 Elemente)"},
        {1, "gone", std::nullopt, "Geladene Libraries: 1\nAktive Timeline: keine"},
        {0, std::nullopt, 1, "Geladene Libraries: 0\nAktive Timeline: keine\n"
                             "Aktives Preset: Empty (0 Elemente)"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FeedbackSheetModel::summary(c.libraries, timelines, c.activeTimelineID, presets,
                                              c.activePreset)
                      .text(),
                  QString::fromUtf8(c.text));
    }
}

TEST(FeedbackSheetModel, SendsOnlyATextWithContentAndOnlyOnce) {
    const struct {
        const char *text;
        bool canSend;
    } cases[] = {
        {"", false},
        {" \n\t\r\n ", false},
        {"\u00a0\u2003", false},
        {"x", true},
        {"\n  Export stalls  \n", true},
    };
    for (const auto &c : cases) {
        FeedbackSheetModel model("Main Window");
        model.setText(QString::fromUtf8(c.text));
        EXPECT_EQ(model.canSend(), c.canSend) << c.text;
        EXPECT_EQ(model.sendButtonTitle(), "Send Feedback");
    }

    FeedbackSheetModel model("Main Window");
    model.setText("Export stalls");
    model.beginSend("diagnose");
    EXPECT_FALSE(model.canSend());
    EXPECT_EQ(model.sendButtonTitle(), "Sending\u2026");
    // The result line shows while the button still reads as sending.
    model.showResult({QStringLiteral("abc"), {}, false, false});
    EXPECT_FALSE(model.canSend());
    EXPECT_EQ(model.status()->text, "Thanks! Feedback received (ID: abc)");
}

TEST(FeedbackSheetModel, BuildsTheRecordFromTheForm) {
    FeedbackSheetModel model("Settings");
    model.laden({"ada", "0.1.0 (7)", "Linux 6.1.0"});
    model.setText(" \n Crashes on export \n");
    model.setSubmitterEmail("  ada@example.com \n");
    EXPECT_EQ(model.beginSend("=== Embrik Diagnose ==="),
              (FeedbackPayload{" \n Crashes on export \n", "ada", "0.1.0 (7)", "Linux 6.1.0",
                               "Embrik \u2013 Settings", "=== Embrik Diagnose ===", std::nullopt,
                               "ada@example.com"}));

    FeedbackSheetModel blankAddress("Main Window");
    blankAddress.setText("x");
    blankAddress.setSubmitterEmail(" \t\n");
    const FeedbackPayload payload = blankAddress.beginSend({});
    EXPECT_EQ(payload.submitterEmail, std::nullopt);
    EXPECT_EQ(payload.appModule, "Embrik \u2013 Main Window");
}

// Each switch-on takes a new picture; switching off drops it, so it is never sent.
TEST(FeedbackSheetModel, TakesAPictureEachTimeTheSwitchGoesOn) {
    int captures = 0;
    std::optional<QByteArray> picture = QByteArray("png-1");
    const FeedbackSheetModel::Capture capture = [&] {
        ++captures;
        return picture;
    };
    FeedbackSheetModel model("Main Window");
    model.setText("x");

    model.setScreenshotMitschicken(true, capture);
    model.setScreenshotMitschicken(true, capture);
    EXPECT_EQ(captures, 1);
    EXPECT_EQ(model.screenshotData(), QByteArray("png-1"));

    model.setScreenshotMitschicken(false, capture);
    EXPECT_EQ(model.screenshotData(), std::nullopt);
    EXPECT_EQ(model.beginSend({}).screenshotPNG, std::nullopt);

    FeedbackSheetModel again("Main Window");
    again.setText("x");
    again.setScreenshotMitschicken(true, capture);
    again.setScreenshotMitschicken(false, capture);
    picture = QByteArray("png-2");
    again.setScreenshotMitschicken(true, capture);
    EXPECT_EQ(captures, 3);
    EXPECT_EQ(again.beginSend({}).screenshotPNG, (Bytes{'p', 'n', 'g', '-', '2'}));

    // A capture that fails leaves the record without a screenshot.
    FeedbackSheetModel failed("Main Window");
    failed.setText("x");
    picture.reset();
    failed.setScreenshotMitschicken(true, capture);
    EXPECT_TRUE(failed.screenshotMitschicken());
    EXPECT_EQ(failed.beginSend({}).screenshotPNG, std::nullopt);
}

} // namespace
} // namespace tandrel
