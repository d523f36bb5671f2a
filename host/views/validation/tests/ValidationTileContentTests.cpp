#include "host/views/validation/ValidationTileContent.h"

#include "core/tests/LibraryFixture.h"
#include "designkit/CorvaneSymbolView.h"
#include "host/views/validation/tests/ViewFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QMetaObject>
#include <QScrollArea>
#include <QScrollBar>

namespace tandrel {
namespace {

using testing::shownTexts;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string prompt = "Drop .fcpxml / .fcpxmld here";
const std::string choose = "Choose FCPXML...";

// A report that fails: 7 of 10 compared exact, 4 mismatches, 250 and 3 unmatched.
TimelineValidator::ValidationReport failingReport() {
    TimelineValidator::ValidationReport report;
    report.fcpxmlClipCount = 260;
    report.resolverEntryCount = 13;
    report.comparedPairs = 10;
    report.exactMatches = 7;
    report.mismatches.resize(4);
    report.unmatchedFCPXML.resize(250);
    report.unmatchedResolver.resize(3);
    return report;
}

class ValidationTileTest : public testing::ViewTest {
protected:
    QAbstractButton *chooseButton() {
        return tile.findChild<QAbstractButton *>(QStringLiteral("choose"));
    }

    ValidationTileContent tile{state, checks.runFunction(),
                               [this](QWidget *, ValidationFileChooser::Chosen answer) {
                                   if (chosen) {
                                       answer(*chosen);
                                   }
                               }};
};

TEST_F(ValidationTileTest, TakesDropsWithoutATimelineAndShowsTheFailureOnceOneIsSelected) {
    EXPECT_EQ(shownTexts(&tile),
              Texts{"No timeline selected \u2014 pick one in the sidebar first."});
    EXPECT_TRUE(tile.acceptDrops());

    EXPECT_TRUE(testing::dragAndDrop(
        &tile, *testing::dropOf({QUrl::fromLocalFile(QStringLiteral("/exports/report.FCPXML")),
                                 QUrl::fromLocalFile(QStringLiteral("/exports/report.xml"))})));
    EXPECT_EQ(checks.files, std::vector<fs::path>{"/exports/report.FCPXML"});
    checks.fail(0, testing::noActiveTimeline);
    EXPECT_EQ(shownTexts(&tile).size(), 1u);

    library->loadInto(state);
    EXPECT_EQ(shownTexts(&tile),
              (Texts{prompt, choose, "report.FCPXML", testing::noActiveTimeline}));
}

TEST_F(ValidationTileTest, ShowsTheVerdictWithTheSummaryAndTwoCounts) {
    library->loadInto(state);
    EXPECT_EQ(shownTexts(&tile), (Texts{prompt, choose}));

    tile.run("/exports/Main Edit.fcpxml");
    EXPECT_EQ(shownTexts(&tile), (Texts{prompt, choose, "Comparing\u2026"}));
    EXPECT_FALSE(chooseButton()->isEnabled());

    // Nothing compared and nothing unmatched passes.
    checks.succeed(0);
    EXPECT_EQ(shownTexts(&tile),
              (Texts{prompt, choose, "Main Edit.fcpxml", "PASS",
                     "0/0 exact matches \u2014 0 field mismatches, 0 in FCPXML only, 0 in "
                     "resolver only",
                     "FCPXML vs resolver", "0 vs 0", "Compared / exact", "0 / 0"}));
    const auto *summary = tile.findChild<QWidget *>(QStringLiteral("summary"));
    EXPECT_EQ(summary->findChild<corvane::CorvaneSymbolView *>()->symbol(),
              "checkmark.circle.fill");

    // A failing report: FAIL, with its counts.
    chosen = "/exports/Main Edit 2.fcpxml";
    chooseButton()->click();
    checks.completions.at(1)(failingReport());
    EXPECT_EQ(shownTexts(&tile),
              (Texts{prompt, choose, "Main Edit 2.fcpxml", "FAIL",
                     "7/10 exact matches \u2014 4 field mismatches, 250 in FCPXML only, 3 in "
                     "resolver only",
                     "FCPXML vs resolver", "260 vs 13", "Compared / exact", "10 / 7"}));
    summary = tile.findChild<QWidget *>(QStringLiteral("summary"));
    EXPECT_EQ(summary->findChild<corvane::CorvaneSymbolView *>()->symbol(), "xmark.octagon.fill");

    // A failure after it: the error alone.
    tile.run("/exports/gone.fcpxml");
    checks.fail(2, "FCPXML file not found: /exports/gone.fcpxml");
    EXPECT_EQ(shownTexts(&tile), (Texts{prompt, choose, "gone.fcpxml",
                                        "FCPXML file not found: /exports/gone.fcpxml"}));
}

// A panel shorter than the tile's rows: they keep their heights and scroll rather than being
// drawn over each other.
TEST_F(ValidationTileTest, KeepsEveryRowWholeWhenThePanelIsShorterThanItsRows) {
    library->loadInto(state);
    // In a panel as wide as the panel column's, which gives it a height.
    QWidget panel;
    auto *inPanel = new ValidationTileContent(state, checks.runFunction(), {}, &panel);
    inPanel->run("/exports/Main Edit 2.fcpxml");
    checks.completions.at(0)(failingReport());
    panel.show();

    constexpr int width = 336;
    const int needed = inPanel->heightForWidth(width);
    for (const int height : {needed, needed - 60}) {
        SCOPED_TRACE(height);
        inPanel->setGeometry(0, 0, width, height);
        QCoreApplication::sendPostedEvents();
        const auto *summaryLine =
            inPanel->findChild<WrappingLabel *>(QStringLiteral("summaryLine"));
        ASSERT_NE(summaryLine, nullptr);
        ASSERT_GT(summaryLine->heightForWidth(summaryLine->width()),
                  summaryLine->fontMetrics().height())
            << "it wraps";
        EXPECT_GE(summaryLine->height(), summaryLine->heightForWidth(summaryLine->width()));
        const QList<QWidget *> facts = inPanel->findChildren<QWidget *>(QStringLiteral("fact"));
        ASSERT_EQ(facts.size(), 2);
        EXPECT_GE(facts[0]->y(), summaryLine->geometry().bottom());
        EXPECT_GE(facts[1]->y(), facts[0]->geometry().bottom());
        // What is below shows by scrolling.
        const auto *scroll = inPanel->findChild<QScrollArea *>(QStringLiteral("scroll"));
        EXPECT_EQ(scroll != nullptr && scroll->verticalScrollBar()->maximum() > 0, height < needed);
    }
}

// The panel's chooser opens over the window and returns at once: no loop of its own runs
// while it is open, so the panel may close meanwhile, and its answer then goes nowhere.
TEST_F(ValidationTileTest, TheChooserOpensWithoutWaitingAndOutlivesNoPanel) {
    library->loadInto(state);
    QWidget window;
    auto *panel = new ValidationTileContent(state, checks.runFunction(),
                                            &ValidationFileChooser::openOver, &window);
    window.show();
    // Work queued before the chooser opens runs within it only if it runs a loop of its own;
    // then it ends the chooser, so that the test ends either way.
    bool choosing = true;
    bool ranWithin = false;
    QMetaObject::invokeMethod(
        &window,
        [&] {
            if (choosing) {
                ranWithin = true;
                if (auto *open = window.findChild<ValidationFileChooser *>()) {
                    open->reject();
                }
            }
        },
        Qt::QueuedConnection);
    panel->chooseFile();
    choosing = false;
    EXPECT_FALSE(ranWithin) << "the chooser ran a loop of its own";
    auto *chooser = panel->findChild<ValidationFileChooser *>();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->windowModality(), Qt::WindowModal);
    testing::ScratchFolder folder;
    const fs::path file = folder.path() / "Main Edit.fcpxml";
    testing::writeFile(file, "<fcpxml/>");
    chooser->selectFile(QString::fromStdString(file.string()));
    chooser->accept();
    EXPECT_EQ(checks.files, std::vector<fs::path>{file});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(panel->findChild<ValidationFileChooser *>(), nullptr);

    // Closed with its panel: nothing is checked.
    panel->chooseFile();
    ASSERT_NE(panel->findChild<ValidationFileChooser *>(), nullptr);
    delete panel;
    EXPECT_EQ(window.findChild<ValidationFileChooser *>(), nullptr);
    EXPECT_EQ(checks.count(), 1u);
}

TEST_F(ValidationTileTest, NeverTakesThePendingExport) {
    library->loadInto(state);
    tile.show();
    state.setPendingXMLDropURL(fs::path("/drops/drop-1.fcpxml"));
    EXPECT_EQ(checks.count(), 0u);
    EXPECT_EQ(state.pendingXMLDropURL(), fs::path("/drops/drop-1.fcpxml"));
}

} // namespace
} // namespace tandrel
