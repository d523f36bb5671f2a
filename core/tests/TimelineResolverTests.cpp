#include "core/database/RetimeParser.h"
#include "core/resolver/TimelineMarkerScanner.h"
#include "core/snapshot/SnapshotWriter.h"
#include "core/support/Json.h"
#include "core/tests/LogCapture.h"
#include "core/tests/ResolverFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace tandrel {
namespace {

using namespace sample;
using testing::HandMadeEvent;
using testing::LogCapture;
using testing::ResolvedLibrary;
using P = PlistValue;

// A 25 fps camera file starting at 01:00:00:00.
Media camera(std::string identifier) {
    Media media;
    media.identifier = identifier;
    media.fileName = identifier + ".mov";
    media.rate = FrameRate::fps25;
    media.startFrame = 90000;
    media.durationFrames = 10000;
    media.reel = "R";
    media.scene = "S";
    media.take = "T";
    return media;
}

LibraryDescription oneEvent(std::vector<Timeline> timelines) {
    Event event;
    event.folder = "Day 1";
    event.media = {camera("CAM"), camera("CAM2")};
    event.timelines = std::move(timelines);
    return {.name = "Test", .events = {std::move(event)}};
}

Timeline project(std::string name, std::vector<Clip> spine) {
    return {std::move(name), "", Timeline::Kind::project, FrameRate::fps25, 0, std::move(spine)};
}

Timeline sequence(std::string identifier, std::vector<Clip> spine) {
    return {identifier,       identifier, Timeline::Kind::plainSequence,
            FrameRate::fps25, 0,          std::move(spine)};
}

struct Placed {
    std::string name;
    double in, out;
    friend bool operator==(const Placed &, const Placed &) = default;
    friend std::ostream &operator<<(std::ostream &out, const Placed &p) {
        return out << p.name << " [" << p.in << ", " << p.out << ")";
    }
};

std::vector<Placed> placed(const EditDecisionList &list) {
    std::vector<Placed> result;
    for (const EditEntry &entry : list.entries()) {
        result.push_back({entry.clipName, entry.timelineIn, entry.timelineOut});
    }
    return result;
}

TEST(TimelineResolver, GapsNamedGapsEmptyClipsAndDisabledCompoundsTakeTheirRoom) {
    ResolvedLibrary resolved(oneEvent({
        sequence("SEQ", {Clip::of("Inside", "CAM", 0, 50)}),
        project("Spine",
                {Clip::of("Gap", "CAM", 0, 25), Clip::gap(25), Clip::of("Empty", "CAM", 0, 0),
                 Clip::compound("Off", "SEQ", 0, 50).disabled(),
                 Clip::compound("On", "SEQ", 25, 25), Clip::of("After", "CAM", 0, 25)}),
        project("Nothing", {}),
    }));
    const EditDecisionList &list = resolved.edl("Spine");
    // A compound clip yields the entries of its sequence, cut to its window, not one of its
    // own; a disabled one yields nothing but keeps its room.
    EXPECT_EQ(placed(list), (std::vector<Placed>{{"Inside", 4, 5}, {"After", 5, 6}}));
    EXPECT_EQ(list.entries()[0].sourceIn, 3601); // cut by its head: one second into the clip
    EXPECT_EQ(list.duration(), 6);
    // Cached and shared: a second request gives the same list.
    EXPECT_EQ(resolved.resolver->getEDL(resolved.timeline("Spine")).get(), &list);

    const EditDecisionList &empty = resolved.edl("Nothing");
    EXPECT_EQ(empty.count(), 0u);
    EXPECT_EQ(empty.duration(), 0);
    EXPECT_EQ(resolved.resolver->getEDL(999999)->count(), 0u); // no such sequence
}

TEST(TimelineResolver, CompoundsExpandSevenLevelsDeepAndAuditionsFourLevelsDeep) {
    // L1 → L2 → … → L8, each a compound clip of the next; L8 holds the clip.
    std::vector<Timeline> timelines;
    for (int level = 1; level <= 8; ++level) {
        const std::string next = "L" + std::to_string(level + 1);
        timelines.push_back(sequence(
            "L" + std::to_string(level),
            {level == 8 ? Clip::of("Deep", "CAM", 0, 50) : Clip::compound(next, next, 0, 50)}));
    }
    const auto nested = [](int depth) {
        Clip clip = Clip::of("Pick", "CAM", 0, 25);
        for (int i = 0; i < depth; ++i) {
            clip = Clip::audition("Audition", {clip, Clip::of("Other", "CAM2", 0, 25)});
        }
        return clip;
    };
    timelines.push_back(
        project("Seven", {Clip::compound("L2", "L2", 0, 50), Clip::of("After", "CAM", 0, 25)}));
    timelines.push_back(
        project("Eight", {Clip::compound("L1", "L1", 0, 50), Clip::of("After", "CAM", 0, 25)}));
    timelines.push_back(project("Four", {nested(4), Clip::of("After", "CAM", 0, 25)}));
    timelines.push_back(project("Five", {nested(5), Clip::of("After", "CAM", 0, 25)}));
    ResolvedLibrary resolved(oneEvent(std::move(timelines)));

    EXPECT_EQ(placed(resolved.edl("Seven")),
              (std::vector<Placed>{{"Deep", 0, 2}, {"After", 2, 3}}));
    // The eighth level shows none of its contents, but still takes its room.
    EXPECT_EQ(placed(resolved.edl("Eight")), (std::vector<Placed>{{"After", 2, 3}}));
    EXPECT_EQ(placed(resolved.edl("Four")), (std::vector<Placed>{{"Pick", 0, 1}, {"After", 1, 2}}));
    // Too deep: no entry and no room.
    EXPECT_EQ(placed(resolved.edl("Five")), (std::vector<Placed>{{"After", 0, 1}}));
}

// A collection listed inside itself is corrupt data: the walk skips the repeat instead of
// expanding the timeline into itself.
TEST(TimelineResolver, ACollectionInsideItselfIsSkipped) {
    // A storyline that lists itself among its items.
    HandMadeEvent event;
    const int64_t timeline = event.add("FFAnchoredSequence", P::Dictionary{});
    const int64_t spine = event.add("FFAnchoredCollection",
                                    P::Dictionary{{"displayName", P::string("Timeline")},
                                                  {"clippedRange", P::string("{0/1,12/1}")}},
                                    event.slot(timeline, "primaryObject"));
    const int64_t items = event.slot(spine, "containedItems");
    event.writer().link(items, spine);
    event.writer().link(items, timeline);
    for (const auto &[name, range] : {std::pair{"A", "{0/1,10/1}"}, {"B", "{0/1,2/1}"}}) {
        event.add(
            "FFAnchoredCollection",
            P::Dictionary{{"displayName", P::string(name)}, {"clippedRange", P::string(range)}},
            items);
    }
    TimelineResolver resolver(std::make_shared<FCPDatabaseConnection>(event.open().path()), nullptr,
                              nullptr, nullptr);
    LogCapture log("com.ostrevale.tandrel.host", "resolver");
    EXPECT_EQ(placed(*resolver.getEDL(timeline)),
              (std::vector<Placed>{{"A", 0, 10}, {"B", 10, 12}}));
    EXPECT_NE(log.text().find("Skipped collection " + std::to_string(spine) + " of " +
                              event.open().path() + ": it is listed inside itself"),
              std::string::npos)
        << log.text();
    EXPECT_EQ(resolver.markerScanEDL(timeline)->count(), 2u);

    // Two compound clips of each other's sequence, each longer than its contents.
    ResolvedLibrary resolved(oneEvent({
        sequence("LOOP-A", {Clip::of("X", "CAM", 0, 25), Clip::compound("To B", "LOOP-B", 0, 100)}),
        sequence("LOOP-B", {Clip::of("Y", "CAM", 0, 25), Clip::compound("To A", "LOOP-A", 0, 100)}),
        project("Loop", {Clip::compound("A", "LOOP-A", 0, 200), Clip::of("After", "CAM", 0, 25)}),
    }));
    EXPECT_EQ(placed(resolved.edl("Loop")),
              (std::vector<Placed>{{"X", 0, 1}, {"Y", 1, 2}, {"After", 8, 9}}));
}

TEST(TimelineResolver, StructureOnlyListHasTheSamePlacesAndDetailOnlyOnItsFirstEntry) {
    ResolvedLibrary resolved(standardSampleLibrary());
    const int64_t key = resolved.timeline("Sample");
    const auto full = resolved.resolver->getEDL(key);
    const auto structure = resolved.resolver->markerScanEDL(key);
    EXPECT_EQ(resolved.resolver->markerScanEDL(key), structure);
    ASSERT_EQ(placed(*structure), placed(*full));
    EXPECT_EQ(structure->entries()[0].clipType, ClipCategory::title);
    EXPECT_EQ(structure->entries()[0].markers.size(), 1u);
    for (size_t i = 0; i < structure->count(); ++i) {
        const EditEntry &entry = structure->entries()[i];
        EXPECT_TRUE(entry.displaySegments.empty());
        if (i > 0) {
            EXPECT_TRUE(entry.markers.empty()) << entry.clipName;
            EXPECT_FALSE(entry.assetName) << entry.clipName;
            EXPECT_FALSE(entry.speedRate || entry.timeMapKeypoints || entry.positionX)
                << entry.clipName;
        }
    }
    EXPECT_EQ(structure->entries()[3].clipType, ClipCategory::multicam);
    EXPECT_EQ(structure->entries()[3].videoAngle, "ANGLE-2");
}

// A retimed clip inside a compound clip: the compound shows it from one second in, and a
// clip connected to it splits it into two segments. Each snapshot entry carries the curve
// measured from its own start.
TEST(TimelineResolver, RetimeKeypointsReachTheSnapshotMeasuredFromEachEntry) {
    ResolvedLibrary resolved(oneEvent({
        sequence("RAMP", {Clip::of("Ramp", "CAM", 1000, 100)
                              .ramped({{0, 1000}, {50, 1025}, {100, 1100}})
                              .connect(Clip::of("Over", "CAM2", 0, 25), 50, 1)}),
        project("Trimmed", {Clip::compound("Window", "RAMP", 25, 50)}),
    }));
    const EditDecisionList &list = resolved.edl("Trimmed");
    ASSERT_EQ(list.count(), 1u);
    const EditEntry &entry = list.entries()[0];
    EXPECT_EQ(entry.timelineIn, 0);
    EXPECT_EQ(entry.timelineOut, 2);
    // The clip's first frame lies one second before the window: the curve stays there.
    EXPECT_DOUBLE_EQ(entry.sourceIn, 3640);
    ASSERT_TRUE(entry.timeMapKeypoints);
    ASSERT_EQ(entry.timeMapKeypoints->size(), 3u);
    EXPECT_DOUBLE_EQ((*entry.timeMapKeypoints)[0].timelineSeconds, -1);
    EXPECT_DOUBLE_EQ((*entry.timeMapKeypoints)[1].timelineSeconds, 1);
    EXPECT_DOUBLE_EQ((*entry.timeMapKeypoints)[2].timelineSeconds, 3);
    EXPECT_DOUBLE_EQ((*entry.timeMapKeypoints)[1].sourceSeconds, 3641);

    const auto entries = SnapshotWriter::snapshotEntries(entry);
    ASSERT_EQ(entries.size(), 2u);
    const auto times = [](const SnapshotEntry &e) {
        std::vector<double> result;
        for (const auto &keypoint : e.srcTimeMapKeypoints.value()) {
            result.push_back(keypoint.timelineSeconds);
        }
        return result;
    };
    EXPECT_EQ(entries[0].tlStart.value, 0);
    EXPECT_EQ(times(entries[0]), (std::vector<double>{-1, 1, 3}));
    EXPECT_EQ(entries[1].tlStart.value, 240000);
    EXPECT_EQ(times(entries[1]), (std::vector<double>{-2, 0, 2}));
    EXPECT_EQ(entries[1].srcTimeMapKeypoints->at(1).sourceSeconds, 3641);
}

// Every walk over the collection tree meets each collection once: a crafted database that
// lists one child thirty times at each of eight levels (30^8 paths) resolves at once, with the
// answers a tree gives.
TEST(TimelineResolver, WalksStayLinearOnCraftedFanOuts) {
    HandMadeEvent event;
    const int64_t clip =
        event.add("FFAnchoredCollection", P::Dictionary{{"displayName", P::string("Clip")},
                                                        {"clippedRange", P::string("{0/1,10/1}")}});
    const auto fanOut = [&](int64_t parent, int64_t child) {
        for (int i = 1; i < 30; ++i) {
            event.writer().link(parent, child);
        }
    };
    // Effects: a chain of plain collections below the clip, the last holding a retime, a
    // transform, a role and a title effect.
    int64_t parent = clip;
    for (int level = 0; level < 6; ++level) {
        const int64_t child = event.add("FFEffectStack", P::Dictionary{}, parent);
        fanOut(parent, child);
        parent = child;
    }
    const std::string retime = "<scene><parameter name=\"Speed\"><curve value=\"50\"/>"
                               "</parameter></scene>";
    const int64_t effect =
        event.add("FFRetimingVideoEffect",
                  P::Dictionary{{"channelData", P::data(Bytes(retime.begin(), retime.end()))},
                                {"roleUID", P::string("role.deep")},
                                {"effectType", P::string("effect.video.title")}},
                  parent);
    fanOut(parent, effect);
    // Connections: a connected clip on the clip, thirty times, and one on that, and so on.
    int64_t anchor = clip;
    for (int level = 0; level < 8; ++level) {
        const int64_t slot = event.slot(anchor, "anchoredItems");
        const int64_t connected =
            event.add("FFAnchoredCollection",
                      P::Dictionary{{"displayName", P::string("C" + std::to_string(level))},
                                    {"clippedRange", P::string("{0/1,1/1}")},
                                    {"anchoredLane", P::integer(1)}},
                      slot);
        fanOut(slot, connected);
        anchor = connected;
    }
    event.add("FFAnchoredTimeMarker", P::Dictionary{{"displayName", P::string("M")}},
              event.slot(anchor, "anchoredItems"));
    // The clip on the spine of a timeline.
    const int64_t timeline = event.add("FFAnchoredSequence", P::Dictionary{});
    const int64_t spine =
        event.add("FFAnchoredCollection", P::Dictionary{}, event.slot(timeline, "primaryObject"));
    event.writer().link(event.slot(spine, "containedItems"), clip);
    FCPDatabaseConnection &db = event.open();

    const auto found = RetimeParser::find(clip, db);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->speed, 50);
    EXPECT_EQ(ConnectedItemResolver::innerRoleUID(clip, db), "role.deep");
    EXPECT_FALSE(TimelineResolver::generatorIsTitle(clip, db)); // seven levels down
    EXPECT_FALSE(TimelineResolver::loadTransformInfo(clip, db));
    EXPECT_EQ(TimelineResolver::loadStabilizationInfo(clip, db), std::nullopt);
    EXPECT_TRUE(TimelineResolver::findMarkers(clip, db).empty());
    AssetStore assets;
    EXPECT_FALSE(AssetInfoResolver::findAssetInfo(clip, db, assets, nullptr, std::nullopt, 0).name);

    std::vector<ConnectedItemResolver::ConnectedItem> items;
    const int64_t first = CollectionReads::slotItems(db, clip, "anchoredItems").front();
    ConnectedItemResolver::handle(first, {}, 0, {db}, items);
    // One item per level: connected clips at depths 0 to 7.
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items.back().name, "C7");

    // The timeline's walk meets each connected clip, and the marker on the last, once.
    TimelineResolver resolver(std::make_shared<FCPDatabaseConnection>(db.path()), nullptr, nullptr,
                              nullptr);
    const auto list = resolver.getEDL(timeline);
    ASSERT_EQ(list->count(), 1u);
    const auto &segments = list->entries()[0].displaySegments;
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0].stackedVideoClips,
              (std::vector<std::string>{"C0", "C1", "C2", "C3", "C4", "C5", "C6", "C7"}));
    const auto markers = TimelineMarkerScanner::scan(timeline, db, resolver);
    ASSERT_EQ(markers.size(), 1u);
    EXPECT_EQ(markers[0].text, "M");
    EXPECT_EQ(markers[0].containingClipName, "C7");
}

// Compound clips that each hold ten compound clips of the next level: 10^7 spine items. The
// walk stops at its budget.
TEST(TimelineResolver, WalksStopAtTheirItemBudget) {
    std::vector<Timeline> timelines;
    for (int level = 1; level <= 7; ++level) {
        const std::string next = "F" + std::to_string(level + 1);
        std::vector<Clip> spine;
        for (int i = 0; i < 10; ++i) {
            spine.push_back(level == 7 ? Clip::of("Leaf", "CAM", 0, 25)
                                       : Clip::compound(next, next, 0, 25));
        }
        timelines.push_back(sequence("F" + std::to_string(level), std::move(spine)));
    }
    timelines.push_back(project("Fan", {Clip::compound("F1", "F1", 0, 25)}));
    ResolvedLibrary resolved(oneEvent(std::move(timelines)));
    resolved.resolver->setSpineItemBudget(2000);
    const EditDecisionList &list = resolved.edl("Fan");
    EXPECT_GT(list.count(), 0u);
    EXPECT_LE(list.count(), 2000u);
}

// Every entry of a timeline (its metadata segment by segment, as the snapshot takes it), every
// marker, its frame size and start, as one resolver gives them.
Json resolution(TimelineResolver &resolver, int64_t key) {
    Json entries = Json::array();
    for (const EditEntry &entry : resolver.getEDL(key)->entries()) {
        entries.push_back({{"key", entry.collectionPK},
                           {"database", entry.databasePath},
                           {"snapshot", SnapshotWriter::snapshotEntries(entry)}});
    }
    Json markers = Json::array();
    for (const ScannedMarker &marker : TimelineMarkerScanner::scan(key, resolver.db(), resolver)) {
        markers.push_back({marker.markerPK,
                           MarkerInfo{marker.text, marker.type, marker.chapterNote},
                           marker.completed ? Json(*marker.completed) : Json(),
                           marker.timelinePositionSeconds, marker.containingClipName.value_or("-"),
                           marker.roleUID.value_or("-")});
    }
    const auto size = resolver.timelineResolution(key);
    const auto start = resolver.projectTimecodeInfo(key);
    return {{"entries", std::move(entries)},
            {"structure", placed(*resolver.markerScanEDL(key)).size()},
            {"markers", std::move(markers)},
            {"size", size ? Json{size->width, size->height} : Json()},
            {"start", start ? Json{start->startSeconds, start->startTimecodeString().value_or("-")}
                            : Json()},
            {"dropFrame", resolver.timelineDropFrame(key).value_or(false)}};
}

// What a resolver reading through its read models gives equals what one statement per
// lookup gives, for every timeline of the sample library and of a larger one. Also with the
// join tables keyed as the editor keys them, where a parent's children are met in another
// order than they were written.
TEST(TimelineResolver, ReadModelsChangeNoList) {
    struct Case {
        const char *name;
        LibraryDescription library;
        bool editorJoinKeys;
    };
    const std::vector<Case> cases{
        {"sample", standardSampleLibrary(), false},
        {"sample, editor's join keys", standardSampleLibrary(), true},
        {"large", largeSampleLibrary(120), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        testing::GeneratedLibrary generated(c.library);
        const auto events = LibraryScanner::scan(generated.bundle()).events;
        if (c.editorJoinKeys) {
            for (const FCPEvent &event : events) {
                sqlite3 *raw = nullptr;
                ASSERT_EQ(sqlite3_open(event.databaseURL.c_str(), &raw), SQLITE_OK);
                for (const std::string &sql : testing::joinTableKeyedByParentAndChild()) {
                    ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
                }
                sqlite3_close(raw);
            }
        }
        auto roles = std::make_shared<RoleResolver>();
        roles->loadAllRoles(generated.bundle());
        const auto assets = std::make_shared<const AssetStore>(generated.assets);
        const auto resolverOf = [&](const FCPEvent &event, bool models) {
            auto multicams = std::make_shared<MulticamMediaIndex>();
            multicams->scan(generated.bundle());
            auto resolver = std::make_unique<TimelineResolver>(
                std::make_shared<FCPDatabaseConnection>(event.databaseURL.string()), assets, roles,
                std::move(multicams));
            resolver->setReadModelsEnabled(models);
            return resolver;
        };
        size_t timelines = 0;
        size_t entries = 0;
        for (const FCPEvent &event : events) {
            auto modelled = resolverOf(event, true);
            auto statementwise = resolverOf(event, false);
            for (const FCPTimelineInfo &timeline : event.timelines) {
                SCOPED_TRACE(timeline.name);
                ++timelines;
                const Json expected = resolution(*statementwise, timeline.collectionPK);
                EXPECT_EQ(resolution(*modelled, timeline.collectionPK), expected);
                entries += expected["entries"].size();
            }
            EXPECT_GT(modelled->readModelBytes(), 0u);
            EXPECT_EQ(statementwise->readModelBytes(), 0u);
        }
        EXPECT_GE(timelines, c.editorJoinKeys ? 2u : 1u);
        EXPECT_GT(entries, 0u);
    }
}

// A crafted database whose collections list themselves and each other (a spine inside itself,
// clips connected to themselves and to each other, a storyline and an audition inside
// themselves, a slot that is its own child, compound clips of each other's sequence) ends,
// and reads the same through the read model as through the statements.
TEST(TimelineResolver, ReadModelsChangeNoListOfACyclicGraph) {
    HandMadeEvent event;
    const auto clip = [&](const std::string &name, const char *range,
                          std::optional<int64_t> parent, P::Dictionary more = {}) {
        more.insert({{"displayName", P::string(name)}, {"clippedRange", P::string(range)}});
        return event.add("FFAnchoredCollection", std::move(more), parent);
    };
    auto &writer = event.writer();
    const int64_t timeline = event.add("FFAnchoredSequence", P::Dictionary{});
    const int64_t spine = clip("Timeline", "{0/1,30/1}", event.slot(timeline, "primaryObject"));
    const int64_t items = event.slot(spine, "containedItems");
    const int64_t a = clip("A", "{0/1,10/1}", items);
    const int64_t b = clip("B", "{0/1,10/1}", items);
    writer.link(items, spine);
    writer.link(items, timeline);
    writer.link(items, items);

    const int64_t onA = event.slot(a, "anchoredItems");
    const int64_t onB = event.slot(b, "anchoredItems");
    writer.link(onA, a);
    writer.link(onA, b);
    writer.link(onB, a);
    const int64_t c = clip("C", "{0/1,4/1}", onA, {{"anchoredLane", P::integer(1)}});
    const int64_t onC = event.slot(c, "anchoredItems");
    writer.link(onC, a);
    writer.link(onC, c);
    writer.link(onC, onC);
    event.add("FFAnchoredTimeMarker", P::Dictionary{{"displayName", P::string("M")}}, onC);

    const int64_t storyline = event.add("FFAnchoredCollection", P::Dictionary{}, onB);
    const int64_t members = event.slot(storyline, "containedItems");
    clip("D", "{0/1,2/1}", members);
    writer.link(members, storyline);
    writer.link(members, b);

    const int64_t stack = event.add("FFAnchoredStack", P::Dictionary{}, items);
    const int64_t variants = event.slot(stack, "activeVariant");
    writer.link(variants, stack);
    const int64_t pickStack = event.add("FFAnchoredStack", P::Dictionary{}, onA);
    writer.link(event.slot(pickStack, "activeVariant"), pickStack);

    FCPDatabaseConnection &db = event.open();
    const auto resolverOf = [&](bool models) {
        auto resolver = std::make_unique<TimelineResolver>(
            std::make_shared<FCPDatabaseConnection>(db.path()), nullptr, nullptr, nullptr);
        resolver->setReadModelsEnabled(models);
        return resolver;
    };
    const auto modelled = resolverOf(true);
    const auto statementwise = resolverOf(false);
    const Json expected = resolution(*statementwise, timeline);
    EXPECT_EQ(resolution(*modelled, timeline), expected);
    EXPECT_EQ(expected["entries"].size(), 2u) << expected.dump(1);
    EXPECT_EQ(placed(*modelled->getEDL(timeline)),
              (std::vector<Placed>{{"A", 0, 10}, {"B", 10, 20}}));

    // Compound clips of each other's sequence, each longer than its contents.
    ResolvedLibrary loop(oneEvent({
        sequence("LOOP-A", {Clip::of("X", "CAM", 0, 25), Clip::compound("To B", "LOOP-B", 0, 100)}),
        sequence("LOOP-B", {Clip::of("Y", "CAM", 0, 25), Clip::compound("To A", "LOOP-A", 0, 100)}),
        project("Loop", {Clip::compound("A", "LOOP-A", 0, 200), Clip::of("After", "CAM", 0, 25)}),
    }));
    const int64_t key = loop.timeline("Loop");
    const Json loopModelled = resolution(*loop.resolver, key);
    loop.resolver->setReadModelsEnabled(false);
    loop.resolver->invalidateCache();
    EXPECT_EQ(loopModelled, resolution(*loop.resolver, key));
}

TEST(EditDecisionList, LooksUpEntriesByTimeFrameAndRange) {
    const EditDecisionList list(7, {EditEntry{.clipName = "B", .timelineIn = 2, .timelineOut = 4},
                                    EditEntry{.clipName = "A", .timelineIn = 0, .timelineOut = 2},
                                    EditEntry{.clipName = "A2", .timelineIn = 2, .timelineOut = 3},
                                    EditEntry{.clipName = "C", .timelineIn = 5, .timelineOut = 6}});
    EXPECT_EQ(list.timelineID(), 7);
    // Sorted by start, equal starts in the order given.
    EXPECT_EQ(placed(list),
              (std::vector<Placed>{{"A", 0, 2}, {"B", 2, 4}, {"A2", 2, 3}, {"C", 5, 6}}));
    EXPECT_EQ(list.duration(), 6);
    const auto nameAt = [&](double t) {
        const EditEntry *entry = list.lookup(t);
        return entry ? entry->clipName : "-";
    };
    EXPECT_EQ(nameAt(-1), "-");
    EXPECT_EQ(nameAt(0), "A");
    EXPECT_EQ(nameAt(2), "B"); // an entry's end belongs to the next one
    EXPECT_EQ(nameAt(4.5), "-");
    EXPECT_EQ(nameAt(6), "-");
    EXPECT_EQ(list.lookup(int64_t{125}, FrameRate::fps25)->clipName, "C");
    std::vector<std::string> names;
    for (const EditEntry *entry : list.lookupRange(1.5, 5.0)) {
        names.push_back(entry->clipName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"A", "B", "A2"}));
    EXPECT_TRUE(list.lookupRange(6.0, 9.0).empty());
    EXPECT_EQ(EditDecisionList(1, {}).lookup(0.0), nullptr);
}

} // namespace
} // namespace tandrel
