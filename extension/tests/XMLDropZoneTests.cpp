// Drags synthesised onto the drop zone, alone and on the panel.

#include "extension/tests/PanelFixture.h"

#include "extension/XMLDropZoneView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using platform::DragPasteboard;
using platform::PasteboardItem;

const QString xmlType = "com.apple.finalcutpro.xml";

// Enters the zone with the drag, then drops it; whether each was accepted, and the highlight
// between the two.
struct DragOutcome {
    bool entered;
    bool highlighted;
    bool dropped;
    bool highlightedAfter;
};

DragOutcome drag(XMLDropZoneView &zone, const QMimeData &data) {
    const QPoint middle = zone.rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &enter);
    const bool highlighted = zone.isDraggingOver();
    QDropEvent drop(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &drop);
    return {enter.isAccepted(), highlighted, drop.isAccepted(), zone.isDraggingOver()};
}

TEST(XMLDropZone, TakesTheFirstNonEmptyXMLTextOfADrag) {
    XMLDropZoneView zone;
    zone.resize(276, 56);
    QStringList received;
    zone.onXMLReceived = [&](const QString &xml) { received << xml; };
    struct Case {
        const char *what;
        std::vector<PasteboardItem> items;
        DragOutcome outcome;
        QStringList received;
    };
    const Case cases[] = {
        {"one item", {{{xmlType, "<fcpxml/>"}}}, {true, true, true, false}, {"<fcpxml/>"}},
        {"several items",
         {{{xmlType, ""}},
          {{"text/plain", "a clip"}},
          {{xmlType, QString::fromUtf8("<fcpxml name=\"Sc\u00e8ne\"/>").toUtf8()}},
          {{xmlType, "<fcpxml second/>"}}},
         {true, true, true, false},
         {QString::fromUtf8("<fcpxml name=\"Sc\u00e8ne\"/>")}},
        {"another format", {{{"text/plain", "<fcpxml/>"}}}, {false, false, false, false}, {}},
        {"only empty XML", {{{xmlType, ""}}, {{xmlType, ""}}}, {true, true, false, false}, {}},
        {"no items", {}, {false, false, false, false}, {}},
    };
    for (const Case &c : cases) {
        received.clear();
        const DragOutcome outcome = drag(zone, DragPasteboard(c.items));
        EXPECT_EQ(outcome.entered, c.outcome.entered) << c.what;
        EXPECT_EQ(outcome.highlighted, c.outcome.highlighted) << c.what;
        EXPECT_EQ(outcome.dropped, c.outcome.dropped) << c.what;
        EXPECT_FALSE(outcome.highlightedAfter) << c.what;
        EXPECT_EQ(received, c.received) << c.what;
    }

    // A drag from another program is one item of its formats.
    QMimeData foreign;
    foreign.setData(xmlType, "<fcpxml foreign/>");
    received.clear();
    EXPECT_TRUE(drag(zone, foreign).dropped);
    EXPECT_EQ(received, QStringList{"<fcpxml foreign/>"});

    // Leaving ends the highlight.
    const DragPasteboard welcome({{{xmlType, "<fcpxml/>"}}});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &welcome, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&zone, &enter);
    EXPECT_TRUE(zone.isDraggingOver());
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&zone, &leave);
    EXPECT_FALSE(zone.isDraggingOver());
}

using XMLDropZoneOnThePanel = testing::PanelTest;

TEST_F(XMLDropZoneOnThePanel, SavesTheDropAndShowsTheStatus) {
    const auto panel = openPanel();
    const DragPasteboard items({{{xmlType, "<fcpxml version=\"1.11\"/>"}}});
    EXPECT_TRUE(drag(*panel->dropZone(), items).dropped);
    EXPECT_EQ(panel->dropStatusLabel()->text(),
              "Saved drop-2023-11-14T22-13-20Z.fcpxml (24 chars)");
    const fs::path file =
        data / "group.com.ostrevale.tandrel/GroundTruthDrops/drop-2023-11-14T22-13-20Z.fcpxml";
    EXPECT_EQ(testing::snapshotFiles(file.parent_path()).at(file.string()),
              "<fcpxml version=\"1.11\"/>");
    EXPECT_EQ(dropsAnnounced, 1);
}

TEST_F(XMLDropZoneOnThePanel, ShowsWhyADropWasNotSaved) {
    testing::writeFile(data / "blocked/group.com.ostrevale.tandrel", "not a folder");
    testing::ScopedEnvironmentVariable blocked("XDG_DATA_HOME", (data / "blocked").string());
    const auto panel = openPanel();
    EXPECT_TRUE(drag(*panel->dropZone(), DragPasteboard({{{xmlType, "<fcpxml/>"}}})).dropped);
    EXPECT_EQ(panel->dropStatusLabel()->text(), "Couldn't reach the shared container");
    EXPECT_EQ(dropsAnnounced, 0);
}

TEST_F(XMLDropZoneOnThePanel, ADropForAPanelAlreadyGoneIsTakenAndWritesNothing) {
    auto panel = openPanel();
    XMLDropZoneView zone;
    zone.onXMLReceived = panel->dropZone()->onXMLReceived;
    panel.reset();
    EXPECT_TRUE(drag(zone, DragPasteboard({{{xmlType, "<fcpxml/>"}}})).dropped);
    EXPECT_FALSE(fs::exists(data / "group.com.ostrevale.tandrel/GroundTruthDrops"));
    EXPECT_EQ(dropsAnnounced, 0);
}

} // namespace
} // namespace tandrel
