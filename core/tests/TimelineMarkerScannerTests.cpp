#include "core/resolver/TimelineMarkerScanner.h"
#include "core/tests/ResolverFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using namespace sample;
using testing::HandMadeEvent;
using testing::ResolvedLibrary;
using P = PlistValue;

struct Listed {
    std::string text;
    MarkerType type;
    double at;
    std::optional<std::string> clip;
    std::optional<std::string> role;
    friend bool operator==(const Listed &, const Listed &) = default;
    friend std::ostream &operator<<(std::ostream &out, const Listed &m) {
        return out << m.text << " @" << m.at << " on " << m.clip.value_or("-") << " role "
                   << m.role.value_or("-");
    }
};

std::vector<Listed> listed(const std::vector<ScannedMarker> &markers) {
    std::vector<Listed> result;
    for (const auto &m : markers) {
        result.push_back(
            {m.text, m.type, m.timelinePositionSeconds, m.containingClipName, m.roleUID});
    }
    return result;
}

// The "Sample" timeline's compound clip shows a sequence of "Day 1/Selects": its markers are
// read from that database, where its clips live.
TEST(TimelineMarkerScanner, ListsTheMarkersOfSpineClipsAlsoInsideOtherEventsCompounds) {
    ResolvedLibrary resolved(standardSampleLibrary());
    const auto markers =
        TimelineMarkerScanner::scan(resolved.timeline("Sample"), *resolved.db, *resolved.resolver);
    std::vector<Listed> expected{
        {"Act One", MarkerType::chapter, 0, "Opening Title", std::nullopt},
        {"Slate", MarkerType::standard, 2, "Arrival", std::nullopt},
        {"Fix flare", MarkerType::todo, 4, "Arrival", std::nullopt},
        {"Flash", MarkerType::standard, 12.4, "Memory 2", std::nullopt},
    };
    ASSERT_EQ(markers.size(), expected.size());
    for (size_t i = 0; i < markers.size(); ++i) {
        EXPECT_NEAR(markers[i].timelinePositionSeconds, expected[i].at, 1e-9);
        expected[i].at = markers[i].timelinePositionSeconds;
    }
    EXPECT_EQ(listed(markers), expected);
    EXPECT_EQ(markers[0].chapterNote, "Cold open");
    EXPECT_EQ(markers[0].completed, std::nullopt);
    EXPECT_EQ(markers[2].completed, false);
}

TEST(TimelineMarkerScanner, ListsMarkersOfEnabledConnectedClipsOnly) {
    Event event;
    event.folder = "Day 1";
    event.roles = {{"role.a", "A", {}}};
    Media camera;
    camera.identifier = "CAM";
    camera.fileName = "cam.mov";
    camera.rate = FrameRate::fps25;
    camera.durationFrames = 1000;
    event.media = {camera};
    const Marker mark{"M", Marker::Kind::standard, 5};
    event.timelines = {
        {"Edit",
         "",
         Timeline::Kind::project,
         FrameRate::fps25,
         0,
         {Clip::of("Spine", "CAM", 0, 100)
              .connect(Clip::of("On", "CAM", 200, 50, "role.a").marked(mark), 25, 1)
              .connect(Clip::of("Off", "CAM", 300, 50)
                           .disabled()
                           .marked(mark)
                           .connect(Clip::of("Below Off", "CAM", 400, 25).marked(mark), 0, 2),
                       50, 1)}}};
    ResolvedLibrary resolved({.name = "Connected", .events = {event}});
    const auto markers =
        TimelineMarkerScanner::scan(resolved.timeline("Edit"), *resolved.db, *resolved.resolver);
    ASSERT_EQ(markers.size(), 1u);
    // Connected 1 s into the spine clip, the marker 5 frames into the connected clip.
    EXPECT_NEAR(markers[0].timelinePositionSeconds, 1.2, 1e-9);
    EXPECT_EQ(listed(markers)[0], (Listed{"M", MarkerType::standard,
                                          markers[0].timelinePositionSeconds, "On", "role.a"}));
}

TEST(TimelineMarkerScanner, ReadsTypesCompletionNotesAndPlaces) {
    HandMadeEvent event;
    const int64_t clip = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t slot = event.slot(clip, "anchoredItems");
    const auto marker = [&](P::Dictionary blob) {
        event.add("FFAnchoredTimeMarker", std::move(blob), slot);
    };
    marker({{"clippedRange", P::string("{4/1,1/25}")}});
    marker({{"displayName", P::string("Chapter")},
            {"isChapter", P::boolean(true)},
            {"metadata", P::dictionary({{"notes", P::string("Note")}})},
            {"anchorPair", P::string("{1/1,3/1}")}});
    marker({{"displayName", P::string("Done")},
            {"isTodo", P::boolean(false)},
            {"completed", P::integer(1)}});
    marker({{"displayName", P::string("Earlier key wins")},
            {"isTodo", P::integer(1)},
            {"isCompleted", P::boolean(false)},
            {"completed", P::boolean(true)}});
    marker({{"displayName", P::string("Text state")},
            {"isTodo", P::boolean(true)},
            {"checked", P::string("yes")}});
    marker({{"displayName", P::string("Not a to-do")}, {"completed", P::boolean(true)}});
    event.add("FFAnchoredCollection", P::Dictionary{{"displayName", P::string("Connected")}}, slot);
    FCPDatabaseConnection &db = event.open();

    const auto markers = TimelineMarkerScanner::markers(clip, db, 10, 3, "role", "Clip");
    ASSERT_EQ(markers.size(), 6u);
    EXPECT_EQ(markers[0].text, "Marker");
    // Clipped start 4 on a clip at 10 s whose own start is 3 s.
    EXPECT_EQ(markers[0].timelinePositionSeconds, 11);
    EXPECT_EQ(markers[1].type, MarkerType::chapter);
    EXPECT_EQ(markers[1].chapterNote, "Note");
    EXPECT_EQ(markers[1].completed, std::nullopt);
    EXPECT_EQ(markers[1].timelinePositionSeconds, 10 + 2 - 3);
    EXPECT_EQ(markers[2].type, MarkerType::todo);
    EXPECT_EQ(markers[2].completed, true);
    EXPECT_EQ(markers[3].completed, false);
    EXPECT_EQ(markers[4].completed, std::nullopt);
    EXPECT_EQ(markers[5].type, MarkerType::standard);
    EXPECT_EQ(markers[5].completed, std::nullopt);
    EXPECT_EQ(markers[5].roleUID, "role");
    EXPECT_EQ(markers[5].containingClipName, "Clip");
    EXPECT_EQ(TimelineMarkerScanner::rawSourceStart(clip, db), std::nullopt);
}

} // namespace
} // namespace tandrel
