// The layout editor's "Validate" panel in a main window: room for its tile beside the other
// panels, and its expand button, which opens the validation window on the tile's check.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvaneSymbolButton.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/validation/ValidationTileContent.h"
#include "host/views/validation/ValidationView.h"

#include <QCoreApplication>

namespace tandrel {
namespace {

using ValidatePanel = testing::HostViewsTest;

// A failing check of a long timeline: its summary line wraps in the panel.
ValidationRunController::Handover failedCheck() {
    auto report = std::make_shared<TimelineValidator::ValidationReport>();
    report->sequenceName = "Reel";
    report->sequenceKind = "project";
    report->fcpxmlClipCount = 260;
    report->resolverEntryCount = 13;
    report->comparedPairs = 10;
    report->exactMatches = 7;
    report->mismatches.resize(4);
    report->unmatchedFCPXML.resize(250);
    report->unmatchedResolver.resize(3);
    return {"/exports/Reel (export 2).fcpxml",
            {.report = report,
             .isRunning = false,
             .errorMessage = std::nullopt,
             .loadedFileName = "Reel (export 2).fcpxml"}};
}

// At the size a main window opens at, with all four panels open, the tile shows every row: the
// panels that scroll give way.
TEST_F(ValidatePanel, ShowsTheWholeTileBesideTheOtherPanelsAtTheWindowsOpeningSize) {
    corvane::ManualClock kitClock;
    const corvane::ScopedClock scopedKitClock{kitClock};
    loaded({solo_}).setActiveTimeline(timelineID("Reel"));
    ContentView &window = mainWindow();
    DisplaySettingsView &pane = *window.displaySettings();
    pane.insertPanel(RightPanel::validate);
    ASSERT_EQ(pane.activePanels().inOrder().size(), 4u);
    auto *tile = qobject_cast<ValidationTileContent *>(pane.validationTile());
    ASSERT_NE(tile, nullptr);
    tile->controller().adopt(failedCheck());
    // The panel has come in, and the layouts settle.
    kitClock.advance(corvane::CorvaneFloatingPanelColumn::panelTransition);
    for (int round = 0; round < 3; ++round) {
        QCoreApplication::sendPostedEvents();
    }

    EXPECT_EQ(window.size(), QSize(ContentView::defaultWidth, ContentView::defaultHeight));
    EXPECT_GE(tile->height(), tile->heightForWidth(tile->width()));
}

TEST_F(ValidatePanel, ExpandsIntoTheValidationWindowShowingTheTilesCheck) {
    loaded({solo_}).setActiveTimeline(timelineID("Reel"));
    DisplaySettingsView &pane = *mainWindow().displaySettings();
    pane.insertPanel(RightPanel::validate);
    auto *tile = qobject_cast<ValidationTileContent *>(pane.validationTile());
    ASSERT_NE(tile, nullptr);
    tile->controller().adopt(failedCheck());

    pane.panelView(RightPanel::validate)->expandButton()->click();
    EXPECT_EQ(openedWindows, std::vector<QString>{"fcpxmlValidation"});
    int checks = 0;
    ValidationView opened(state(), [&checks](const std::filesystem::path &,
                                             ValidationRunController::Completion) { ++checks; });
    opened.show();
    EXPECT_EQ(checks, 0);
    EXPECT_EQ(opened.controller().loadedFileName(), "Reel (export 2).fcpxml");
    ASSERT_NE(opened.controller().report(), nullptr);
    EXPECT_EQ(opened.controller().report()->unmatchedFCPXML.size(), 250u);
    EXPECT_NE(opened.findChild<QWidget *>(QStringLiteral("reportDetails")), nullptr);
}

} // namespace
} // namespace tandrel
