#include "host/views/validation/ValidationView.h"

#include "designkit/CorvaneDivider.h"
#include "designkit/CorvaneSymbolView.h"
#include "host/views/validation/ValidationHandover.h"
#include "host/views/validation/ValidationTileContent.h"
#include "host/views/validation/tests/ViewFixture.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QImage>

namespace tandrel {
namespace {

using testing::shownTexts;
using Texts = std::vector<std::string>;
namespace fs = std::filesystem;

const std::string title = "Validate Against FCPXML";
const std::string prompt = "Drop an exported .fcpxml / .fcpxmld here";
const std::string choose = "Choose FCPXML...";

class ValidationViewTest : public testing::ViewTest {
protected:
    ValidationView &view() {
        if (!view_) {
            view_ = std::make_unique<ValidationView>(state, checks.runFunction(),
                                                     [this](QWidget *parent) {
                                                         EXPECT_EQ(parent, view_.get());
                                                         ++chooserShown;
                                                         return chosen;
                                                     });
        }
        return *view_;
    }
    ValidationView &viewWithTimeline() {
        library->loadInto(state);
        return view();
    }
    QWidget *dropZone() { return view().findChild<QWidget *>(QStringLiteral("dropZone")); }
    QAbstractButton *chooseButton() {
        return view().findChild<QAbstractButton *>(QStringLiteral("choose"));
    }
    // Whether a widget that shows with the view takes drops.
    std::vector<QString> dropTargets() {
        std::vector<QString> targets;
        for (QWidget *widget : view().findChildren<QWidget *>()) {
            if (widget->acceptDrops() && widget->isVisibleTo(&view())) {
                targets.push_back(widget->objectName());
            }
        }
        return targets;
    }

    int chooserShown = 0;
    std::unique_ptr<ValidationView> view_;
};

TEST_F(ValidationViewTest, ShowsTheNoticeAndTakesNoDropUntilATimelineIsSelected) {
    EXPECT_EQ(shownTexts(&view()),
              (Texts{title, "No timeline selected",
                     "Pick a library and timeline in the main window first, then export that "
                     "same timeline as FCPXML from Final Cut Pro and load it here."}));
    EXPECT_TRUE(dropTargets().empty());
    EXPECT_FALSE(view().acceptDrops());

    library->loadInto(state);
    EXPECT_EQ(shownTexts(&view()), (Texts{title, "Comparing timeline: Main Edit", prompt, choose}));
    EXPECT_EQ(dropTargets(), std::vector<QString>{"dropZone"});

    // A selected timeline that no library names: the header has no second line.
    state.setActiveTimeline("gone");
    EXPECT_EQ(shownTexts(&view()), (Texts{title, prompt, choose}));
}

TEST_F(ValidationViewTest, ShowsEachStateOfACheckUnderTheDropZone) {
    viewWithTimeline().run("/exports/Main Edit.fcpxml");
    EXPECT_EQ(shownTexts(&view()),
              (Texts{title, "Comparing timeline: Main Edit", prompt, choose, "Comparing\u2026"}));
    EXPECT_FALSE(chooseButton()->isEnabled());

    checks.succeed(0);
    const Texts done = shownTexts(&view());
    ASSERT_GE(done.size(), 7u);
    EXPECT_EQ(Texts(done.begin() + 2, done.begin() + 7),
              (Texts{prompt, choose, "Main Edit.fcpxml", "PASS \u2014 resolver matches FCPXML",
                     "0/0 exact matches \u2014 0 field mismatches, 0 in FCPXML only, 0 in "
                     "resolver only"}));
    EXPECT_EQ(done.back(), "Every compared clip matched on timeline position, duration, and "
                           "name. No dropped or spurious entries.");
    EXPECT_TRUE(chooseButton()->isEnabled());

    // A failure after the report: the error line alone.
    view().run("/exports/cut.fcpxml");
    checks.fail(1, "FCPXML file not found: /exports/cut.fcpxml");
    EXPECT_EQ(shownTexts(&view()),
              (Texts{title, "Comparing timeline: Main Edit", prompt, choose, "cut.fcpxml",
                     "FCPXML file not found: /exports/cut.fcpxml"}));
    const auto *error = view().findChild<QWidget *>(QStringLiteral("error"));
    EXPECT_EQ(error->findChild<corvane::CorvaneSymbolView *>()->symbol(),
              "exclamationmark.triangle.fill");
}

TEST_F(ValidationViewTest, ChecksThePendingExportOnOpeningAndOnEachChange) {
    viewWithTimeline();
    // Not yet on screen: left pending.
    state.setPendingXMLDropURL(fs::path("/drops/drop-1.fcpxml"));
    EXPECT_EQ(checks.count(), 0u);

    view().show();
    EXPECT_EQ(checks.files, std::vector<fs::path>{"/drops/drop-1.fcpxml"});
    EXPECT_EQ(state.pendingXMLDropURL(), std::nullopt);

    state.setPendingXMLDropURL(fs::path("/drops/drop-2.fcpxml"));
    EXPECT_EQ(checks.files,
              (std::vector<fs::path>{"/drops/drop-1.fcpxml", "/drops/drop-2.fcpxml"}));
    EXPECT_EQ(state.pendingXMLDropURL(), std::nullopt);
    state.setPendingXMLDropURL(std::nullopt);
    EXPECT_EQ(checks.count(), 2u);
    EXPECT_EQ(view().controller().loadedFileName(), "drop-2.fcpxml");
}

// Checked at once, an export without a timeline could only fail, behind the notice, and be
// spent: it waits for the timeline instead.
TEST_F(ValidationViewTest, KeepsAPendingExportUntilATimelineIsSelected) {
    view().show();
    state.setPendingXMLDropURL(fs::path("/drops/drop-1.fcpxml"));
    EXPECT_EQ(checks.count(), 0u);
    EXPECT_EQ(state.pendingXMLDropURL(), fs::path("/drops/drop-1.fcpxml"));
    EXPECT_EQ(shownTexts(&view()).size(), 3u) << "the notice only";

    library->loadInto(state);
    EXPECT_EQ(checks.files, std::vector<fs::path>{"/drops/drop-1.fcpxml"});
    EXPECT_EQ(state.pendingXMLDropURL(), std::nullopt);
    checks.succeed(0);
    EXPECT_EQ(view().controller().loadedFileName(), "drop-1.fcpxml");
    EXPECT_EQ(view().controller().errorMessage(), std::nullopt);
}

TEST_F(ValidationViewTest, TakesFilesDroppedOnItsDropZone) {
    viewWithTimeline();
    const auto data = testing::dropOf({QUrl::fromLocalFile(QStringLiteral("/exports/a.fcpxml")),
                                       QUrl::fromLocalFile(QStringLiteral("/exports/b.xml")),
                                       QUrl::fromLocalFile(QStringLiteral("/exports/c.fcpxmld"))});
    EXPECT_TRUE(testing::dragAndDrop(dropZone(), *data));
    EXPECT_EQ(checks.files, (std::vector<fs::path>{"/exports/a.fcpxml", "/exports/c.fcpxmld"}));

    // A drag of text is not taken.
    QMimeData text;
    text.setText(QStringLiteral("/exports/a.fcpxml"));
    EXPECT_FALSE(testing::dragAndDrop(dropZone(), text));
}

TEST_F(ValidationViewTest, ChecksTheFileChosenAndNothingWhenTheChooserIsCancelled) {
    viewWithTimeline();
    chooseButton()->click();
    EXPECT_EQ(chooserShown, 1);
    EXPECT_EQ(checks.count(), 0u);

    chosen = "/exports/Main Edit.fcpxmld";
    chooseButton()->click();
    EXPECT_EQ(checks.files, std::vector<fs::path>{"/exports/Main Edit.fcpxmld"});
    // Running: the button does nothing.
    chooseButton()->click();
    EXPECT_EQ(chooserShown, 2);
}

// The "Validate" panel's expand button opens the window on the panel's check: its report, its
// failure, or, still running, a check of the same file; a panel without a file leaves the
// window as it is.
TEST_F(ValidationViewTest, ShowsTheCheckThePanelHandsOver) {
    library->loadInto(state);
    ValidationTileContent tile(state, checks.runFunction());
    tile.handOver();
    tile.run("/exports/Main Edit.fcpxml");
    checks.succeed(0);
    tile.handOver();

    view().show();
    EXPECT_EQ(checks.count(), 1u) << "the report is shown, not checked again";
    EXPECT_EQ(view().controller().loadedFileName(), "Main Edit.fcpxml");
    ASSERT_NE(view().controller().report(), nullptr);
    EXPECT_EQ(view().controller().report()->sequenceName, "Main Edit");
    const Texts shown = shownTexts(&view());
    ASSERT_GE(shown.size(), 6u);
    EXPECT_EQ(Texts(shown.begin() + 4, shown.begin() + 6),
              (Texts{"Main Edit.fcpxml", "PASS \u2014 resolver matches FCPXML"}));
    EXPECT_NE(view().findChild<QWidget *>(QStringLiteral("reportDetails")), nullptr);
    // Taken once: a window opened later starts empty.
    EXPECT_EQ(ValidationHandover::of(state).take(), std::nullopt);

    // Open already, it takes the next one at once.
    tile.run("/exports/gone.fcpxml");
    checks.fail(1, "FCPXML file not found: /exports/gone.fcpxml");
    tile.handOver();
    EXPECT_EQ(shownTexts(&view()),
              (Texts{title, "Comparing timeline: Main Edit", prompt, choose, "gone.fcpxml",
                     "FCPXML file not found: /exports/gone.fcpxml"}));

    tile.run("/exports/Main Edit 2.fcpxml");
    tile.handOver();
    EXPECT_EQ(checks.files.back(), fs::path("/exports/Main Edit 2.fcpxml"));
    ASSERT_EQ(checks.count(), 4u);
    EXPECT_TRUE(view().controller().isRunning());
    checks.fail(3, "not parsable");
    EXPECT_EQ(view().controller().errorMessage(), "not parsable");
    EXPECT_TRUE(tile.controller().isRunning()) << "each view follows its own check";

    ValidationTileContent(state, checks.runFunction()).handOver();
    EXPECT_EQ(view().controller().errorMessage(), "not parsable");
}

TEST_F(ValidationViewTest, OpensAtItsIdealSizeAndGoesNoSmallerThanItsMinimum) {
    EXPECT_EQ(view().minimumSize(), QSize(520, 460));
    EXPECT_EQ(view().sizeHint(), QSize(720, 680));
}

TEST_F(ValidationViewTest, DrawsTheHeaderDividerFromEdgeToEdge) {
    view().resize(ValidationView::idealContentSize);
    view().show();
    auto *divider = view().findChild<corvane::CorvaneDivider *>();
    ASSERT_NE(divider, nullptr);
    EXPECT_EQ(divider->width(), view().width());
    const QImage line = divider->grab().toImage();
    const QRgb middle = line.pixel(line.width() / 2, 0);
    EXPECT_EQ(line.pixel(0, 0), middle);
    EXPECT_EQ(line.pixel(line.width() - 1, 0), middle);
}

} // namespace
} // namespace tandrel
