#include "core/resolver/AssetInfoResolver.h"
#include "core/resolver/MulticamMediaIndex.h"
#include "core/tests/ClipFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tandrel {
namespace {

using AssetInfo = AssetInfoResolver::AssetInfo;
using testing::HandMadeEvent;
using P = PlistValue;
using TimeMap = std::optional<std::vector<TimeMapKeypoint>>;

constexpr double e = 1.0 / 240;

TEST(AssetInfoResolver, CorrectsTheSourceStart) {
    const TimeMap ramp = std::vector<TimeMapKeypoint>{{0, 5}, {2, 9}};
    const struct {
        const char *what;
        double s;
        AssetInfo info;
        TimeMap timeMap;
        double expected;
    } cases[] = {
        {"nothing to correct by", 6, {}, std::nullopt, 6},
        {"clock offset within the tolerance", 6, {.multicamAngleClockOffset = 0.003}, ramp, 6},
        {"clock offset", 6, {.multicamAngleClockOffset = 2}, std::nullopt, 8},
        {"negative clock offset", 6, {.multicamAngleClockOffset = -2.5}, std::nullopt, 3.5},
        {"the clock offset comes first",
         6,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4, .multicamAngleClockOffset = 1},
         std::nullopt,
         7},
        {"collection start alone", 6, {.videoCollectionStart = 10}, std::nullopt, 6},
        {"component start alone", 6, {.videoMediaComponentStart = 4}, std::nullopt, 6},
        {"moved by the distance from the component",
         6,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4},
         std::nullopt,
         12},
        {"at the collection start within the tolerance",
         10.002,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4},
         std::nullopt,
         10},
        {"just inside the component",
         4 - e / 2,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4},
         std::nullopt,
         10 - e / 2},
        {"before the component, no time map",
         3,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4},
         std::nullopt,
         10},
        {"before the component, through the time map",
         1,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4},
         ramp,
         13},
        {"time map below the component",
         1,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 8},
         ramp,
         10},
        {"outside the time map",
         3,
         {.videoCollectionStart = 10, .videoMediaComponentStart = 4},
         ramp,
         10},
    };
    for (const auto &c : cases) {
        EXPECT_DOUBLE_EQ(AssetInfoResolver::correctedSourceIn(c.s, c.info, c.timeMap), c.expected)
            << c.what;
    }
}

TEST(AssetInfoResolver, EvaluatesTimeMaps) {
    const std::vector<TimeMapKeypoint> line{{0, 0}, {2, 4}};
    const std::vector<TimeMapKeypoint> unsorted{{4, 0}, {0, 10}, {2, 2}};
    const double nan = std::nan("");
    const struct {
        const char *what;
        TimeMap timeMap;
        double at;
        std::optional<double> expected;
    } cases[] = {
        {"inside", line, 1, 2},
        {"last keypoint extended by the tolerance", line, 2.003, 4.006},
        {"beyond the tolerance", line, 2.01, std::nullopt},
        {"first keypoint extended by the tolerance", line, -0.004, -0.008},
        {"before the first", line, -0.01, std::nullopt},
        {"sorted by time first", unsorted, 1, 6},
        {"second segment", unsorted, 3, 1},
        {"segment shorter than the tolerance", std::vector<TimeMapKeypoint>{{0, 7}, {0.001, 9}},
         0.0005, 7},
        {"one keypoint", std::vector<TimeMapKeypoint>{{0, 1}}, 0, std::nullopt},
        {"no time map", std::nullopt, 0, std::nullopt},
        {"not a time", line, nan, std::nullopt},
        {"no finite value", std::vector<TimeMapKeypoint>{{0, -1.7e308}, {1, 1.7e308}}, 0.5,
         std::nullopt},
    };
    for (const auto &c : cases) {
        const auto value = AssetInfoResolver::evaluateTimeMap(c.timeMap, c.at);
        ASSERT_EQ(value.has_value(), c.expected.has_value()) << c.what;
        if (value) {
            EXPECT_NEAR(*value, *c.expected, 1e-12) << c.what;
        }
    }
}

// A clip collection in a hand-made event, with what hangs below it.
struct Walk {
    HandMadeEvent event;
    AssetStore store;

    static P::Dictionary metadata(const char *reel, const char *scene = nullptr) {
        P::Dictionary values{{"reel", P::string(reel)}};
        if (scene) {
            values.emplace("scene", P::string(scene));
        }
        return {{"metadata", P::dictionary(values)}};
    }
    static P::Dictionary assetRef(const char *mediaID, const char *displayName = nullptr) {
        P::Dictionary ref{{"mediaIdentifier", P::string(mediaID)}};
        if (displayName) {
            ref.emplace("displayName", P::string(displayName));
        }
        return ref;
    }
};

TEST(AssetInfoResolver, FindsTheMediaAndTheNearestMetadata) {
    Walk walk;
    HandMadeEvent &event = walk.event;
    event.add("FFAsset", P::Dictionary{{"mediaIdentifier", P::string("known")},
                                       {"displayName", P::string("Known.mov")},
                                       {"mediaRange", P::string("{0/1,10/1}")},
                                       {"timecodeFrameDuration", P::string("1/25")}});

    // The store's name and rate when the reference has no name.
    const int64_t storeName = event.add("FFAnchoredCollection", P::Dictionary{});
    event.add("FFAssetRef", Walk::assetRef("known"), storeName);
    // An identifier the store does not know keeps only itself.
    const int64_t unknown = event.add("FFAnchoredCollection", P::Dictionary{});
    event.add("FFAssetRef", Walk::assetRef("unknown"), unknown);
    // Two collections at one level: the first visited gives the reel; later ones fill gaps.
    const int64_t siblings = event.add("FFAnchoredCollection", P::Dictionary{});
    event.add("FFAnchoredCollection", Walk::metadata("A001"), siblings);
    event.add("FFAnchoredCollection", Walk::metadata("B002", "7"), siblings);
    event.add("FFAssetRef", Walk::assetRef("known", "Named.mov"), siblings);
    // A reel below the reference's container beats one further up.
    const int64_t nested = event.add("FFAnchoredCollection", P::Dictionary{});
    P::Dictionary outer = Walk::metadata("OUTER", "1");
    outer.emplace("clippedRange", P::string("{10/1,5/1}"));
    const int64_t outerClip = event.add("FFAnchoredCollection", outer, nested);
    P::Dictionary inner = Walk::metadata("INNER");
    inner.emplace("clippedRange", P::string("{3/1,5/1}"));
    const int64_t innerClip = event.add("FFAnchoredCollection", inner, outerClip);
    const int64_t component =
        event.add("FFAnchoredMediaComponent",
                  P::Dictionary{{"clippedRange", P::string("{4/1,5/1}")}}, innerClip);
    event.add("FFAssetRef", Walk::assetRef("known"), component);
    // Connected clips never contribute; an unreadable reference is searched through.
    const int64_t connected = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t anchored = event.slot(connected, "anchoredItems");
    event.add("FFAssetRef", Walk::assetRef("known"), anchored);
    const int64_t broken = event.add("FFAssetRef", std::nullopt, connected);
    event.add("FFAssetRef", Walk::assetRef("unknown", "Deep.mov"), broken);
    // Eight levels of collections above the reference: beyond the depth limit.
    const int64_t deep = event.add("FFAnchoredCollection", P::Dictionary{});
    int64_t parent = deep;
    for (int level = 0; level < 8; ++level) {
        parent = event.add("NSArray", std::nullopt, parent);
    }
    event.add("FFAssetRef", Walk::assetRef("known"), parent);

    auto &db = event.open();
    walk.store.loadAssets(db);
    const auto find = [&](int64_t pk) {
        return AssetInfoResolver::findAssetInfo(pk, db, walk.store, nullptr, std::nullopt,
                                                std::nullopt);
    };
    const struct {
        const char *what;
        int64_t pk;
        AssetInfo expected;
    } cases[] = {
        {"store name and rate",
         storeName,
         {.name = "Known.mov", .mediaID = "known", .rate = FrameRate::fps25}},
        {"unknown media", unknown, {.mediaID = "unknown"}},
        {"first collection's reel",
         siblings,
         {.name = "Named.mov",
          .mediaID = "known",
          .rate = FrameRate::fps25,
          .reel = "A001",
          .scene = "7"}},
        {"nested metadata wins",
         nested,
         {.name = "Known.mov",
          .mediaID = "known",
          .rate = FrameRate::fps25,
          .reel = "INNER",
          .scene = "1",
          .videoCollectionStart = 3,
          .videoMediaComponentStart = 4}},
        {"connected clips left out", connected, {.name = "Deep.mov", .mediaID = "unknown"}},
        {"too deep", deep, {}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(find(c.pk), c.expected) << c.what;
    }
}

} // namespace
} // namespace tandrel
