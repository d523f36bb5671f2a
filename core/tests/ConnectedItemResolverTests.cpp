#include "core/resolver/ConnectedItemResolver.h"
#include "core/tests/ClipFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using Item = ConnectedItemResolver::ConnectedItem;
using testing::GeneratedLibrary;
using testing::HandMadeEvent;
using P = PlistValue;

constexpr double ntscFrame = 1001.0 / 24000;

TEST(ConnectedItemResolver, FindsTheSampleConnectionsWithTheirSources) {
    GeneratedLibrary library(sample::standardSampleLibrary());
    auto &db = library.event("Day 1");
    const auto spine = library.spine("Day 1", "Assembly");
    const ConnectedItemResolver::Sources sources{db, &library.assets, nullptr,
                                                 FrameRate::fps23_976};
    // Arrival lies at 0 and starts 48 frames into its media (01:00:00:00); Kitchen lies at
    // frame 240 and starts 240 frames into media starting at 02:00:00:00.
    auto items = ConnectedItemResolver::findConnectedItems(spine[0], 0, (86400 + 48) * ntscFrame,
                                                           true, sources);
    const auto more = ConnectedItemResolver::findConnectedItems(
        spine[3], 240 * ntscFrame, (172800 + 240) * ntscFrame, true, sources);
    items.insert(items.end(), more.begin(), more.end());

    const struct {
        const char *name;
        int64_t lane;
        std::optional<int64_t> videoLane;
        int64_t startFrame, durationFrames;
        const char *role;
        const char *reel;
        const char *sceneShot;
        const char *timecode;
        int64_t sourceFrame;
        const char *rate;
    } expected[] = {
        {"Kitchen Cutaway", 1, 2, 24, 48, sample::roles::video, "B002", "14/1", "02:00:12:12",
         172800 + 300, "23.976"},
        {"Arrival Insert", 2, 3, 60, 36, sample::roles::video, "A001", "12/4", "01:04:15:00",
         86400 + 6000 + 120, "23.976"},
        // The storyline "B-Roll" is no item; its members follow one another on its lane.
        {"Arrival Wide", 1, 2, 264, 24, sample::roles::video, "A001", "12/3", "01:00:37:12",
         86400 + 900, "23.976"},
        {"Arrival Close", 1, 2, 288, 36, sample::roles::video, "A001", "12/4", "01:04:26:16",
         86400 + 6000 + 400, "23.976"},
        {"Theme", -1, std::nullopt, 240, 144, sample::roles::music, "", "/", "00:00:00:00", 0,
         "24"},
    };
    ASSERT_EQ(items.size(), std::size(expected));
    for (size_t i = 0; i < items.size(); ++i) {
        const Item &item = items[i];
        const auto &x = expected[i];
        EXPECT_EQ(item.name, x.name);
        EXPECT_EQ(item.type, "FFAnchoredCollection") << x.name;
        EXPECT_EQ(item.lane, x.lane) << x.name;
        EXPECT_EQ(item.videoLaneNumber(), x.videoLane) << x.name;
        EXPECT_NEAR(item.timelineStart / ntscFrame, static_cast<double>(x.startFrame), 1e-6)
            << x.name;
        EXPECT_NEAR(item.duration / ntscFrame, static_cast<double>(x.durationFrames), 1e-6)
            << x.name;
        EXPECT_TRUE(item.isEnabled) << x.name;
        EXPECT_EQ(item.roleUID, x.role) << x.name;
        EXPECT_EQ(item.reelName, x.reel) << x.name;
        EXPECT_EQ(item.sceneShot, x.sceneShot) << x.name;
        EXPECT_EQ(item.sourceTimecode, x.timecode) << x.name;
        EXPECT_EQ(item.sourceFrameNumber, x.sourceFrame) << x.name;
        EXPECT_EQ(item.sourceRateString(), x.rate) << x.name;
    }
    EXPECT_EQ(items[0].sourceFileName, "B002C001_230512.mov");
    EXPECT_EQ(items[0].sourceFpsNum(), 24000);
    EXPECT_EQ(items[0].sourceFpsDen(), 1001);
    EXPECT_EQ(items[4].sourceFpsNum(), 24);
    // Without an asset store the walk is the same and no source facts are filled.
    const auto bare = ConnectedItemResolver::findConnectedItems(spine[0], 0, 0, true, {db});
    ASSERT_EQ(bare.size(), 2u);
    EXPECT_EQ(bare[0].reelName, std::nullopt);
    EXPECT_EQ(bare[0].sourceRate, std::nullopt);
    EXPECT_EQ(bare[0].sourceFpsNum(), std::nullopt);
    EXPECT_EQ(bare[0].sourceRateString(), std::nullopt);
}

// "{start,1/1}", built by appending (GCC 12 warns wrongly about chained + here).
std::string oneSecondFrom(std::string_view start) {
    std::string text = "{";
    text.append(start).append(",1/1}");
    return text;
}

P::Dictionary clip(const std::string &name, const std::string &range,
                   std::optional<std::string> anchorPair = std::nullopt,
                   std::optional<int64_t> lane = std::nullopt, P::Dictionary extra = {}) {
    extra.emplace("displayName", P::string(name));
    extra.emplace("clippedRange", P::string(range));
    if (anchorPair) {
        extra.emplace("anchorPair", P::string(*anchorPair));
    }
    if (lane) {
        extra.emplace("anchoredLane", P::integer(*lane));
    }
    return extra;
}

TEST(ConnectedItemResolver, PlacesEveryKindOfConnection) {
    HandMadeEvent event;
    const int64_t spineClip = event.add("FFAnchoredCollection", clip("Spine", "{0/1,100/1}"));
    const int64_t anchored = event.slot(spineClip, "anchoredItems");
    const auto anchoredTo = [&](int64_t parent) { return event.slot(parent, "anchoredItems"); };

    // Placed by its anchor pair (1 s, 3 s) and clipped start 0.5 s under a container at 5 s.
    const int64_t placed =
        event.add("FFAnchoredCollection", clip("Placed", "{1/2,2/1}", "{1/1,3/1}", 2), anchored);
    const int64_t belowPlaced = anchoredTo(placed);
    event.add("FFAnchoredCollection", clip("Inherits", "{0/1,1/1}", "{0/1,1/2}", 999999),
              belowPlaced);
    event.add("FFAnchoredCollection", clip("No lane", "{0/1,1/1}"), belowPlaced);
    // Disabled, and so is everything below it.
    const int64_t off = event.add(
        "FFAnchoredCollection",
        clip("Off", "{0/1,1/1}", std::nullopt, 1, {{"playEnable", P::integer(0)}}), anchored);
    event.add("FFAnchoredCollection",
              clip("Under off", "{0/1,1/1}", std::nullopt, std::nullopt,
                   {{"playEnable", P::boolean(true)}}),
              anchoredTo(off));
    // Markers are no connected items, nor what hangs below them.
    const int64_t marker = event.add("FFAnchoredTimeMarker", clip("Marker", "{0/1,1/1}"), anchored);
    event.add("FFAnchoredCollection", clip("Under marker", "{0/1,1/1}"), anchoredTo(marker));
    // A connected storyline at 10 s: members of 2 s, 3 s, one without blob, 1 s and one whose
    // range runs backwards (it takes no room), and an audition whose active pick takes its
    // place.
    const int64_t storyline = event.add(
        "FFAnchoredCollection",
        P::Dictionary{{"anchorPair", P::string("{0/1,5/1}")}, {"anchoredLane", P::integer(-1)}},
        anchored);
    const int64_t members = event.slot(storyline, "containedItems");
    const int64_t first = event.add("FFAnchoredCollection", clip("S1", "{0/1,2/1}"), members);
    event.add("FFAnchoredCollection", clip("S2", "{7/1,3/1}", std::nullopt, 5), members);
    event.add("FFAnchoredCollection", std::nullopt, members);
    event.add("FFAnchoredCollection", clip("S3", "{0/1,1/1}"), members);
    event.add("FFAnchoredCollection", clip("Backwards", "{0/1,-2/1}"), members);
    const int64_t memberStack = event.add("FFAnchoredStack", P::Dictionary{}, members);
    event.add("FFAnchoredCollection", clip("S4 pick", "{2/1,1/1}"),
              event.slot(memberStack, "activeVariant"));
    event.add("FFAnchoredCollection", clip("Under S1", "{0/1,1/1}", "{0/1,1/1}"),
              anchoredTo(first));
    // An audition: the stack places and carries the lane, its first pick is the item.
    const int64_t stack = event.add(
        "FFAnchoredStack",
        P::Dictionary{{"anchorPair", P::string("{0/1,20/1}")}, {"anchoredLane", P::integer(3)}},
        anchored);
    const int64_t variants = event.slot(stack, "activeVariant");
    const int64_t pick = event.add("FFAnchoredCollection", clip("Pick", "{1/1,4/1}"), variants);
    event.add("FFAnchoredCollection", clip("Other pick", "{0/1,4/1}"), variants);
    event.add("FFAnchoredCollection", clip("Under pick", "{1/1,1/1}", "{0/1,1/1}"),
              anchoredTo(pick));
    // An audition without picks gives nothing.
    const int64_t emptyStack = event.add("FFAnchoredStack", P::Dictionary{}, anchored);
    event.slot(emptyStack, "activeVariant");
    // Nine nested connected clips: eight levels are visited.
    int64_t parent = anchored;
    for (int level = 0; level < 9; ++level) {
        parent = anchoredTo(
            event.add("FFAnchoredCollection",
                      clip(std::string("L").append(std::to_string(level)), "{0/1,1/1}"), parent));
    }
    // Unreadable items are dropped with what hangs below them.
    const int64_t noBlob = event.add("FFAnchoredCollection", std::nullopt, anchored);
    event.add("FFAnchoredCollection", clip("Under no blob", "{0/1,1/1}"), anchoredTo(noBlob));

    auto &db = event.open();
    const auto items = ConnectedItemResolver::findConnectedItems(spineClip, 5, 0, true, {db});
    const struct {
        const char *name;
        const char *type;
        int64_t lane;
        double start, duration, sourceStart;
        bool enabled;
    } expected[] = {
        {"Placed", "FFAnchoredCollection", 2, 7.5, 2, 0.5, true},
        // Under "Placed" (at 7.5 s, its own time starting at 0.5 s).
        {"Inherits", "FFAnchoredCollection", 2, 7.5, 1, 0, true},
        {"No lane", "FFAnchoredCollection", 2, 7, 1, 0, true},
        {"Off", "FFAnchoredCollection", 1, 5, 1, 0, false},
        {"Under off", "FFAnchoredCollection", 1, 5, 1, 0, false},
        {"S1", "FFAnchoredCollection", -1, 10, 2, 0, true},
        {"Under S1", "FFAnchoredCollection", -1, 11, 1, 0, true},
        {"S2", "FFAnchoredCollection", -1, 12, 3, 7, true},
        {"S3", "FFAnchoredCollection", -1, 15, 1, 0, true},
        {"Backwards", "FFAnchoredCollection", -1, 16, -2, 0, true},
        {"S4 pick", "FFAnchoredCollection", -1, 16, 1, 2, true},
        {"Pick", "FFAnchoredCollection", 3, 26, 4, 1, true},
        {"Under pick", "FFAnchoredCollection", 3, 27, 1, 1, true},
        {"L0", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L1", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L2", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L3", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L4", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L5", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L6", "FFAnchoredCollection", 0, 5, 1, 0, true},
        {"L7", "FFAnchoredCollection", 0, 5, 1, 0, true},
    };
    std::vector<std::string> names;
    for (const Item &item : items) {
        names.push_back(item.name.value_or("(none)"));
    }
    ASSERT_EQ(items.size(), std::size(expected)) << ::testing::PrintToString(names);
    for (size_t i = 0; i < items.size(); ++i) {
        const auto &x = expected[i];
        EXPECT_EQ(items[i].name, x.name);
        EXPECT_EQ(items[i].type, x.type) << x.name;
        EXPECT_EQ(items[i].lane, x.lane) << x.name;
        EXPECT_DOUBLE_EQ(items[i].timelineStart, x.start) << x.name;
        EXPECT_DOUBLE_EQ(items[i].duration, x.duration) << x.name;
        EXPECT_DOUBLE_EQ(items[i].sourceStart, x.sourceStart) << x.name;
        EXPECT_EQ(items[i].isEnabled, x.enabled) << x.name;
    }
    EXPECT_EQ(items[11].collectionPK, pick);
    // A disabled spine clip disables everything connected to it.
    for (const Item &item :
         ConnectedItemResolver::findConnectedItems(spineClip, 5, 0, false, {db})) {
        EXPECT_FALSE(item.isEnabled) << *item.name;
    }
}

TEST(ConnectedItemResolver, FindsRolesInLayoutsComponentsAndBlobs) {
    HandMadeEvent event;
    const auto layoutItem = [&](int64_t layout, const char *uid, std::optional<P> channelMap) {
        P::Dictionary blob{{"roleUID", P::string(uid)}};
        if (channelMap) {
            blob.emplace("channelMap", *channelMap);
        }
        return event.add("FFMutableAudioClipComponentsLayoutItem", blob, layout);
    };
    const auto channels = [](std::vector<P> values) { return P::array(std::move(values)); };

    // Channels 3, 1 and none: channel 1 wins; its own "roleUID" comes second.
    const int64_t layered =
        event.add("FFAnchoredCollection", P::Dictionary{{"roleUID", P::string("own")}});
    const int64_t layout =
        event.add("FFAudioComponentsLayoutMap", std::nullopt, layered, "audioComponentsLayoutMap");
    layoutItem(layout, "three", channels({P::string("3")}));
    const int64_t group = event.add("NSArray", std::nullopt, layout);
    layoutItem(group, "one", channels({P::string("+1"), P::string("0")}));
    layoutItem(layout, "also one", channels({P::string("1")}));
    layoutItem(layout, "none", std::nullopt);
    layoutItem(layout, "not text", channels({P::integer(0)}));
    // Only items without a readable channel: the first collected.
    const int64_t unmapped = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t unmappedLayout =
        event.add("FFAudioComponentsLayoutMap", std::nullopt, unmapped, "audioComponentsLayoutMap");
    layoutItem(unmappedLayout, "first", channels({}));
    layoutItem(unmappedLayout, "second", channels({P::string("x")}));
    // A role stored only on a component; connected clips below do not count.
    const int64_t component = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t below = event.slot(component, "anchoredItems");
    event.add("FFAnchoredCollection", P::Dictionary{{"roleUID", P::string("connected")}}, below);
    const int64_t media = event.add("FFAnchoredMediaComponent", P::Dictionary{}, component);
    event.add("FFAssetRef", P::Dictionary{{"roleUID", P::string("component")}}, media);
    const int64_t plain =
        event.add("FFAnchoredCollection", P::Dictionary{{"roleUID", P::string("own")}});
    const int64_t none = event.add("FFAnchoredCollection", P::Dictionary{});

    auto &db = event.open();
    EXPECT_EQ(ConnectedItemResolver::channelSourceRoleUID(layered, db), "one");
    EXPECT_EQ(ConnectedItemResolver::channelSourceRoleUID(unmapped, db), "first");
    EXPECT_EQ(ConnectedItemResolver::channelSourceRoleUID(plain, db), std::nullopt);
    EXPECT_EQ(ConnectedItemResolver::innerRoleUID(component, db), "component");
    EXPECT_EQ(ConnectedItemResolver::innerRoleUID(none, db), std::nullopt);
    // The component's reference is two levels down: found from depth 6, not from depth 7.
    EXPECT_EQ(ConnectedItemResolver::innerRoleUID(component, db, 6), "component");
    EXPECT_EQ(ConnectedItemResolver::innerRoleUID(component, db, 7), std::nullopt);
}

// One connected clip per row, wrapping a media clip (collection start c) whose component
// starts at m, with a retime around it when the row has a time map.
TEST(ConnectedItemResolver, FillsTheCorrectedSourceStart) {
    HandMadeEvent event;
    const auto asset = [&](const char *id, std::optional<const char *> frameDuration,
                           std::optional<const char *> name) {
        P::Dictionary blob{{"mediaIdentifier", P::string(id)},
                           {"mediaRange", P::string("{0/1,1000/1}")}};
        if (frameDuration) {
            blob.emplace("timecodeFrameDuration", P::string(*frameDuration));
        }
        if (name) {
            blob.emplace("displayName", P::string(*name));
        }
        event.add("FFAsset", blob);
    };
    asset("ntsc", "1001/24000", "NTSC.mov");
    asset("pal", "1/25", "PAL.mov");
    asset("no rate", std::nullopt, std::nullopt);

    const struct Row {
        const char *name;
        const char *s;
        std::optional<const char *> c, m;
        const char *media;
        bool refName;
        std::optional<std::string> timeMap;
        // Expected:
        std::optional<double> corrected;
        std::optional<int64_t> frame;
        std::optional<const char *> timecode;
        std::optional<FrameRate> rate;
    } rows[] = {
        {"plain", "21/2", std::nullopt, std::nullopt, "ntsc", true, std::nullopt, 10.5, 252,
         "00:00:10:12", FrameRate::fps23_976},
        {"moved", "6/1", "10/1", "4/1", "pal", true, std::nullopt, 12, 300, "00:00:12:00",
         FrameRate::fps25},
        {"at the collection", "5001/500", "10/1", "4/1", "pal", true, std::nullopt, 10, 250,
         "00:00:10:00", FrameRate::fps25},
        {"before the component", "3/1", "10/1", "4/1", "pal", true, std::nullopt, 10, 250,
         "00:00:10:00", FrameRate::fps25},
        {"through the time map", "1/1", "10/1", "4/1", "pal", true,
         "<keypoint><time>0 1</time><value>5</value></keypoint>"
         "<keypoint><time>2 1</time><value>9</value></keypoint>",
         13, 325, "00:00:13:00", FrameRate::fps25},
        {"negative", "-1/1", std::nullopt, std::nullopt, "pal", true, std::nullopt, -1, -25,
         "00:00:00:00", FrameRate::fps25},
        // Its frame count does not fit 64 bits: no timing at all.
        {"huge", "9000000000000000000/1", std::nullopt, std::nullopt, "pal", true, std::nullopt,
         std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        // No rate of its own: the fallback rate, as the asset has a name.
        {"fallback rate", "2/1", std::nullopt, std::nullopt, "no rate", true, std::nullopt, 2, 60,
         "00:00:02:00", FrameRate::fps30},
        // Neither rate, name nor known media: no timing.
        {"nothing known", "2/1", std::nullopt, std::nullopt, "", false, std::nullopt, std::nullopt,
         std::nullopt, std::nullopt, std::nullopt},
    };
    const int64_t spineClip = event.add("FFAnchoredCollection", clip("Spine", "{0/1,100/1}"));
    const int64_t anchored = event.slot(spineClip, "anchoredItems");
    for (const Row &row : rows) {
        const std::string range = oneSecondFrom(row.s);
        const int64_t item =
            event.add("FFAnchoredCollection",
                      clip(row.name, range, std::nullopt, 1,
                           {{"metadata", P::dictionary({{"reel", P::string("outer")}})}}),
                      anchored);
        int64_t parent = item;
        if (row.c) {
            parent =
                event.add("FFAnchoredCollection",
                          P::Dictionary{{"clippedRange", P::string(oneSecondFrom(*row.c))},
                                        {"metadata", P::dictionary({{"reel", P::string("R")},
                                                                    {"scene", P::string("S")}})}},
                          parent);
        }
        if (row.m) {
            parent = event.add("FFAnchoredMediaComponent",
                               P::Dictionary{{"clippedRange", P::string(oneSecondFrom(*row.m))}},
                               parent);
        }
        if (row.refName) {
            event.add("FFAssetRef", P::Dictionary{{"mediaIdentifier", P::string(row.media)}},
                      parent);
        }
        if (row.timeMap) {
            std::string document = "<scene>";
            document.append(*row.timeMap).append("</scene>");
            event.add(
                "FFRetimingVideoEffect",
                P::Dictionary{{"channelData", P::data(Bytes(document.begin(), document.end()))}},
                item);
        }
    }
    auto &db = event.open();
    AssetStore store;
    store.loadAssets(db);
    const auto items = ConnectedItemResolver::findConnectedItems(
        spineClip, 0, 0, true, {db, &store, nullptr, FrameRate::fps30});
    ASSERT_EQ(items.size(), std::size(rows));
    for (size_t i = 0; i < items.size(); ++i) {
        const Row &row = rows[i];
        const Item &item = items[i];
        EXPECT_EQ(item.correctedSourceStart, row.corrected) << row.name;
        EXPECT_EQ(item.sourceFrameNumber, row.frame) << row.name;
        EXPECT_EQ(item.sourceTimecode,
                  row.timecode ? std::optional<std::string>(*row.timecode) : std::nullopt)
            << row.name;
        EXPECT_EQ(item.sourceRate, row.rate) << row.name;
        // Reel and scene come from the collections below the item, never from its own blob.
        EXPECT_EQ(item.reelName, row.c ? std::optional<std::string>("R") : std::nullopt)
            << row.name;
        EXPECT_EQ(item.sceneShot, row.c ? std::optional<std::string>("S") : std::nullopt)
            << row.name;
    }
    EXPECT_EQ(items[0].sourceFileName, "NTSC.mov");
    EXPECT_EQ(items[7].sourceFileName, "Unknown");
}

} // namespace
} // namespace tandrel
