// The layout editor's panels in a main window: how they share the column's height (room for
// the "Validate" panel's tile beside the others), and the tile's expand button, which opens the
// validation window on the tile's check.
#include "host/views/main/tests/HostViewsFixture.h"

#include "designkit/CorvaneClock.h"
#include "designkit/CorvaneFloatingPanel.h"
#include "designkit/CorvaneFloatingPanelColumn.h"
#include "designkit/CorvaneScrollArea.h"
#include "designkit/CorvaneScrollIndicators.h"
#include "designkit/CorvaneSymbolButton.h"
#include "host/views/layout/DisplaySettingsView.h"
#include "host/views/layout/PresetSettingsPanel.h"
#include "host/views/validation/ValidationTileContent.h"
#include "host/views/validation/ValidationView.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

namespace tandrel {
namespace {

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

// A main window serving a timeline, its panels on the kit's clock.
class ValidatePanel : public testing::HostViewsTest {
protected:
    ContentView &servingWindow(QSize size = {ContentView::defaultWidth,
                                             ContentView::defaultHeight}) {
        loaded({solo_}).setActiveTimeline(timelineID("Reel"));
        ContentView &window = mainWindow();
        window.resize(size);
        settle();
        return window;
    }
    // Opens the "Validate" panel on a failed check; returns its tile once the panel has come
    // in and the layouts settled.
    ValidationTileContent *openFailedCheck(DisplaySettingsView &pane) {
        pane.insertPanel(RightPanel::validate);
        auto *tile = qobject_cast<ValidationTileContent *>(pane.validationTile());
        if (tile != nullptr) {
            tile->controller().adopt(failedCheck());
        }
        kitClock.advance(corvane::CorvaneFloatingPanelColumn::panelTransition);
        settle();
        return tile;
    }
    static void settle() {
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
        }
    }

    corvane::ManualClock kitClock;
    const corvane::ScopedClock scopedKitClock{kitClock};
};

// At the size a main window opens at, with all four panels open, the tile shows every row: the
// panels that scroll give way.
TEST_F(ValidatePanel, ShowsTheWholeTileBesideTheOtherPanelsAtTheWindowsOpeningSize) {
    ContentView &window = servingWindow();
    DisplaySettingsView &pane = *window.displaySettings();
    ValidationTileContent *tile = openFailedCheck(pane);
    ASSERT_NE(tile, nullptr);
    ASSERT_EQ(pane.activePanels().inOrder().size(), 4u);

    EXPECT_EQ(window.size(), QSize(ContentView::defaultWidth, ContentView::defaultHeight));
    EXPECT_GE(tile->height(), tile->heightForWidth(tile->width()));
    // Without the column scrolling.
    const auto *column = pane.panelColumn()->findChild<QScrollArea *>();
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->verticalScrollBar()->maximum(), 0);
}

// The panels as a main window opens: the editor holds only its hint and takes no more than that
// needs, so the settings beside it show every row.
TEST_F(ValidatePanel, AtTheOpeningSizeTheSettingsShowEveryRowBesideTheEditorsHint) {
    DisplaySettingsView &pane = *servingWindow().displaySettings();
    const QWidget *editor = pane.panelView(RightPanel::editor);
    const QWidget *settings = pane.panelView(RightPanel::settings);
    ASSERT_TRUE(editor != nullptr && settings != nullptr);
    const auto *rows = settings->findChild<QScrollArea *>();
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->verticalScrollBar()->maximum(), 0) << "the settings scroll";
    EXPECT_LT(editor->height(), settings->height() / 2);
}

// With an element chosen and all four panels open, at the opening size and shorter, the panels
// that scroll show whole rows and no band under them: a panel is as short as the rows it shows,
// and the room it gives up goes to the other or stays below the last panel.
TEST_F(ValidatePanel, NoPanelShowsAnEmptyBandUnderItsRows) {
    ContentView &window = servingWindow();
    DisplaySettingsView &pane = *window.displaySettings();
    const DisplayConfig &active = state().presets().at(*state().activePresetIndex());
    state().selectElement(active.elements.at(0).id, false);
    pane.insertPanel(RightPanel::validate);
    kitClock.advance(corvane::CorvaneFloatingPanelColumn::panelTransition);
    for (int height = ContentView::defaultHeight; height >= 640; height -= 20) {
        SCOPED_TRACE(height);
        window.resize(ContentView::defaultWidth, height);
        settle();
        for (const RightPanel panel : {RightPanel::editor, RightPanel::settings}) {
            SCOPED_TRACE(panel.rawValue());
            const auto *rows = pane.panelView(panel)->findChild<corvane::CorvaneScrollArea *>();
            ASSERT_NE(rows, nullptr);
            if (rows->verticalScrollBar()->maximum() == 0) {
                continue; // all its rows show
            }
            // To a point or two: room kept for its tallest row may be a little more than the
            // rows in view take.
            EXPECT_GE(rows->shownBand().bottom(), rows->viewport()->rect().bottom() - 2);
        }
    }
}

// An element chosen: its editor takes the room it needs as soon as it is made, the panels that
// scroll sharing what is short evenly (to a row, as each shows whole rows), and no more room is
// left under the last panel than would show a row more.
TEST_F(ValidatePanel, AnElementsEditorTakesItsShareOfTheColumn) {
    DisplaySettingsView &pane = *servingWindow().displaySettings();
    const DisplayConfig &active = state().presets().at(*state().activePresetIndex());
    state().selectElement(active.elements.at(0).id, false);
    settle();
    const QWidget *editor = pane.panelView(RightPanel::editor);
    const QWidget *settings = pane.panelView(RightPanel::settings);
    ASSERT_TRUE(editor != nullptr && settings != nullptr);
    ASSERT_NE(editor->findChild<QLineEdit *>(), nullptr) << "no element editor";
    int tallestRow = 0;
    for (const QWidget *panel : {editor, settings}) {
        const auto *rows = panel->findChild<corvane::CorvaneScrollArea *>();
        ASSERT_NE(rows, nullptr);
        for (const QRect &row : corvane::CorvaneScrollArea::rowsOf(rows->widget())) {
            tallestRow = std::max(tallestRow, row.height());
        }
    }
    EXPECT_NEAR(editor->height(), settings->height(), 2 * tallestRow);
    const QWidget *last = pane.panelView(RightPanel::bulkStyle);
    const QWidget *column = pane.panelColumn();
    const int left = column->height() - corvane::CorvaneFloatingPanelColumn::padding -
                     last->mapTo(column, QPoint(0, last->height())).y();
    EXPECT_GE(left, 0);
    EXPECT_LT(left, tallestRow);
}

// With all four panels open, an element in the editor and a report in the tile, at the main
// window's least size and at the size it opens at, no panel is cut: the bulk style rows and the
// tile are whole, the panels that scroll show whole rows (at least one each, the editor's first
// among them), and at the least size the column scrolls, with the kit's indicators, to reach
// the rest.
TEST_F(ValidatePanel, NoPanelIsCutAndAtTheLeastSizeTheColumnScrolls) {
    const QSize sizes[] = {{ContentView::minimumWidth, ContentView::minimumHeight},
                           {ContentView::defaultWidth, ContentView::defaultHeight}};
    ContentView &window = servingWindow(sizes[0]);
    DisplaySettingsView &pane = *window.displaySettings();
    const DisplayConfig &active = state().presets().at(*state().activePresetIndex());
    state().selectElement(active.elements.at(0).id, false);
    ValidationTileContent *tile = openFailedCheck(pane);
    ASSERT_NE(tile, nullptr);
    for (const QSize &size : sizes) {
        SCOPED_TRACE(size.width());
        window.resize(size);
        settle();
        EXPECT_EQ(window.size(), size);
        for (const RightPanel panel : {RightPanel::bulkStyle, RightPanel::validate}) {
            const QWidget *view = pane.panelView(panel);
            ASSERT_NE(view, nullptr);
            EXPECT_GE(view->height(), view->heightForWidth(view->width()));
        }
        const auto *inTile = tile->findChild<QScrollArea *>(QStringLiteral("scroll"));
        ASSERT_NE(inTile, nullptr);
        EXPECT_EQ(inTile->verticalScrollBar()->maximum(), 0);
        for (const RightPanel panel : {RightPanel::editor, RightPanel::settings}) {
            SCOPED_TRACE(panel.rawValue());
            const auto *rows = pane.panelView(panel)->findChild<corvane::CorvaneScrollArea *>();
            ASSERT_NE(rows, nullptr);
            EXPECT_GE(rows->viewport()->height(), rows->minimumSizeHint().height());
            // What shows is whole rows: the band they take, not part of one.
            const std::vector<QRect> whole = rows->rowsInView();
            ASSERT_FALSE(whole.empty()) << "no row shows whole";
            EXPECT_EQ(whole.front(), corvane::CorvaneScrollArea::rowsOf(rows->widget()).front());
        }
        const auto *column = pane.panelColumn()->findChild<QScrollArea *>();
        ASSERT_NE(column, nullptr);
        if (size == sizes[0]) {
            EXPECT_GT(column->verticalScrollBar()->maximum(), 0);
            EXPECT_TRUE(corvane::hasCorvaneScrollIndicators(column));
        }
    }
}

// Once the settings have had to scroll (the "Validate" panel open beside them, or the window at
// its least size), they show every row again when the room is back: nothing of the scrolled
// state stays (a caption wrapped for the scroll's indicator, a band under the rows).
TEST_F(ValidatePanel, TheSettingsShowEveryRowAgainOnceTheRoomIsBack) {
    ContentView &window = servingWindow();
    DisplaySettingsView &pane = *window.displaySettings();
    const QWidget *settings = pane.panelView(RightPanel::settings);
    const auto *rows = settings->findChild<corvane::CorvaneScrollArea *>();
    ASSERT_NE(rows, nullptr);
    const QWidget *caption = pane.settingsContent()->builtInCaption();
    ASSERT_NE(caption, nullptr);
    ASSERT_EQ(rows->verticalScrollBar()->maximum(), 0);
    const int height = settings->height();
    const int captionHeight = caption->height();

    struct Trip {
        const char *what;
        std::function<void()> there;
        std::function<void()> back;
    };
    const Trip trips[] = {
        {"the Validate panel opened and closed",
         [&] { ASSERT_NE(openFailedCheck(pane), nullptr); },
         [&] {
             pane.removePanel(RightPanel::validate);
             kitClock.advance(corvane::CorvaneFloatingPanelColumn::panelTransition);
         }},
        {"the window at its least size and back",
         [&] { window.resize(ContentView::minimumWidth, ContentView::minimumHeight); },
         [&] { window.resize(ContentView::defaultWidth, ContentView::defaultHeight); }},
    };
    for (const Trip &trip : trips) {
        SCOPED_TRACE(trip.what);
        trip.there();
        settle();
        ASSERT_GT(rows->verticalScrollBar()->maximum(), 0) << "they do not scroll there";
        trip.back();
        settle();
        EXPECT_EQ(rows->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(settings->height(), height);
        EXPECT_EQ(caption->height(), captionHeight);
        EXPECT_EQ(rows->shownBand(), rows->viewport()->rect());
    }
}

TEST_F(ValidatePanel, ExpandsIntoTheValidationWindowShowingTheTilesCheck) {
    DisplaySettingsView &pane = *servingWindow().displaySettings();
    ASSERT_NE(openFailedCheck(pane), nullptr);

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
