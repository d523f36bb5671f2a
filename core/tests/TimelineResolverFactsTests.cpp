// Display segments, the metadata record of a frame, and the single facts of clips and
// timelines.

#include "core/model/TimecodeCalculator.h"
#include "core/tests/ResolverFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

using namespace sample;
using testing::GeneratedLibrary;
using testing::HandMadeEvent;
using testing::ResolvedLibrary;
using Item = ConnectedItemResolver::ConnectedItem;
using P = PlistValue;

Item item(std::string name, int64_t lane, double start, double duration,
          std::optional<std::string> role = std::nullopt,
          std::string type = "FFAnchoredCollection") {
    return {.name = std::move(name),
            .type = std::move(type),
            .lane = lane,
            .timelineStart = start,
            .duration = duration,
            .roleUID = std::move(role)};
}

struct Shown {
    double start, end;
    std::vector<std::string> stacked;
    std::vector<int64_t> lanes;
    std::map<std::string, std::string> roles; // role → "name: file"
    friend bool operator==(const Shown &, const Shown &) = default;
    friend std::ostream &operator<<(std::ostream &out, const Shown &s) {
        out << "[" << s.start << ", " << s.end << ")";
        for (const auto &name : s.stacked) {
            out << " " << name;
        }
        for (const auto &[role, clip] : s.roles) {
            out << " " << role << "=" << clip;
        }
        return out;
    }
};

std::vector<Shown> shown(const std::vector<EditEntry::DisplaySegment> &segments) {
    std::vector<Shown> result;
    for (const auto &segment : segments) {
        Shown s{segment.start, segment.end, segment.stackedVideoClips, {}, {}};
        for (const auto &layer : segment.stackedLayers) {
            s.lanes.push_back(layer.videoLaneNumber);
        }
        for (const auto &[role, clip] : segment.activeRoleClips) {
            s.roles[role] = clip.roleName + ": " + clip.mediaFilename;
        }
        result.push_back(std::move(s));
    }
    return result;
}

TEST(DisplaySegments, SplitAtConnectedClipsAndCollectLayersAndRoles) {
    GeneratedLibrary library(standardSampleLibrary());
    RoleResolver roles;
    roles.loadAllRoles(library.bundle());
    const EditEntry entry{.timelineIn = 10, .timelineOut = 20};
    const auto segments = [&](std::vector<Item> items) {
        return shown(TimelineResolver::displaySegments(entry, items, roles));
    };
    // Two clips over half of the entry, walked lane 2 first: layers come in lane order.
    EXPECT_EQ(segments({item("V3", 2, 12, 8), item("V2", 1, 15, 10), item("Later", 1, 25, 2)}),
              (std::vector<Shown>{{10, 12, {}, {}, {}},
                                  {12, 15, {"V3"}, {3}, {}},
                                  {15, 20, {"V3", "V2"}, {2, 3}, {}}}));
    // An end at the entry's end adds no boundary; a clip over everything gives one segment.
    EXPECT_EQ(segments({item("Tail", 1, 15, 5)}),
              (std::vector<Shown>{{10, 15, {}, {}, {}}, {15, 20, {"Tail"}, {2}, {}}}));
    EXPECT_EQ(segments({item("All", 1, 0, 50)}), (std::vector<Shown>{{10, 20, {"All"}, {2}, {}}}));
    // "New Stack" is no layer but carries its role; audio and titles are no layers; the first
    // clip to carry a role keeps it, under the role and its top-level role; a role nobody
    // names shows as "?".
    EXPECT_EQ(segments({item("New Stack", 1, 10, 10, roles::music),
                        item("Boom", -1, 10, 10, roles::dialogueBoom),
                        item("Lav", -2, 10, 10, roles::dialogueLav),
                        item("Boom 2", -3, 10, 10, roles::dialogueBoom),
                        item("Title", 1, 10, 10, "role.unknown", "FFAnchoredGeneratorComponent")}),
              (std::vector<Shown>{{10,
                                   20,
                                   {},
                                   {},
                                   {{roles::music, "Music: New Stack"},
                                    {roles::dialogueBoom, "Boom: Boom"},
                                    {roles::dialogue, "Dialogue: Boom"},
                                    {roles::dialogueLav, "Lav: Lav"},
                                    {"role.unknown", "?: Title"}}}}));
    EXPECT_TRUE(TimelineResolver::displaySegments({.timelineIn = 3, .timelineOut = 3},
                                                  {item("X", 1, 0, 9)}, roles)
                    .empty());
}

TEST(TimelineResolverMetadata, BuildsTheRecordOfOneFrame) {
    const TimelineResolver resolver(nullptr, nullptr, nullptr, nullptr);
    EditEntry entry{.clipName = "Clip",
                    .clipType = ClipCategory::simple,
                    .timelineIn = 10,
                    .timelineOut = 12,
                    .sourceIn = 100,
                    .sourceStartTC = 0,
                    .frameRate = FrameRate::fps25,
                    .displaySegments = {{.start = 10, .end = 11, .stackedVideoClips = {"A"}},
                                        {.start = 11, .end = 12, .stackedVideoClips = {"B"}}}};
    FCPMetadata record = resolver.buildMetadata(entry, 250, FrameRate::fps25);
    EXPECT_EQ(record.sourceFrameNumber, 2500);
    EXPECT_EQ(record.sourceTimecode, "00:01:40:00");
    EXPECT_EQ(record.projectTimecode, "00:00:10:00");
    EXPECT_EQ(record.clipDuration, "00:00:02:00");
    EXPECT_EQ(record.stackedVideoClips, std::vector<std::string>{"A"});
    EXPECT_EQ(record.isReversed, false);
    // Beyond the last segment, the last segment's clips.
    EXPECT_EQ(resolver.buildMetadata(entry, 400, FrameRate::fps25).stackedVideoClips,
              std::vector<std::string>{"B"});
    // A reversed clip counts down from its last source frame: the clip uses frames 2500 to
    // 2549, and each shows once.
    entry.isReversed = true;
    EXPECT_EQ(resolver.buildMetadata(entry, 250, FrameRate::fps25).sourceFrameNumber, 2549);
    EXPECT_EQ(resolver.buildMetadata(entry, 275, FrameRate::fps25).sourceFrameNumber, 2524);
    EXPECT_EQ(resolver.buildMetadata(entry, 299, FrameRate::fps25).sourceFrameNumber, 2500);
    // A reversed freeze stays on its frame.
    entry.speedRate = 0;
    EXPECT_EQ(resolver.buildMetadata(entry, 275, FrameRate::fps25).sourceFrameNumber, 2500);
    entry.speedRate.reset();
    // At normal speed a frame before the source's start shows as 0.
    entry.isReversed = false;
    entry.sourceIn = 0;
    EXPECT_EQ(resolver.buildMetadata(entry, 200, FrameRate::fps25).sourceFrameNumber, 0);
    // Double speed.
    entry.speedRate = 2;
    EXPECT_EQ(resolver.buildMetadata(entry, 260, FrameRate::fps25).sourceFrameNumber, 20);
}

TEST(TimelineResolverFacts, ReadsRectanglesAndFrameDurations) {
    EXPECT_EQ(TimelineResolver::parseVideoProps("{{0, 0}, {3840, 2160}}"), (Size{3840, 2160}));
    EXPECT_EQ(TimelineResolver::parseVideoProps("{3840, 2160}"), std::nullopt);
    EXPECT_EQ(TimelineResolver::parseVideoProps("{{0, x}, {0, 1920, 1080}}"), (Size{1920, 1080}));
    EXPECT_EQ(TimelineResolver::frameRate("1001/30000"), FrameRate::fps29_97ndf);
    EXPECT_EQ(TimelineResolver::frameRate("100/2500"), FrameRate::fps25);
    EXPECT_EQ(TimelineResolver::frameRate("1001/30000s"), std::nullopt);
    EXPECT_EQ(TimelineResolver::frameRate("1/0"), std::nullopt);
    EXPECT_EQ(TimelineResolver::frameRate("1/1/25"), std::nullopt);
}

TEST(TimelineResolverFacts, ReadsATimelinesStartRateAndFrameSize) {
    ResolvedLibrary resolved(standardSampleLibrary());
    TimelineResolver &resolver = *resolved.resolver;
    const int64_t sample = resolved.timeline("Sample");
    const auto info = resolver.projectTimecodeInfo(sample);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->startSeconds, 36000);
    EXPECT_EQ(info->rate, FrameRate::fps25);
    EXPECT_EQ(info->startTimecodeString(), "10:00:00:00");
    EXPECT_EQ(resolver.timelineResolution(sample), (Size{1920, 1080}));
    EXPECT_EQ(resolver.projectTimecodeInfo(999999), std::nullopt);
    EXPECT_EQ((ProjectTimecodeInfo{1, std::nullopt}.startTimecodeString()), std::nullopt);

    // Drop frame is a flag beside the frame duration.
    HandMadeEvent event;
    const int64_t timeline = event.add("FFAnchoredSequence", P::Dictionary{});
    event.add("FFSequenceInfo",
              P::Dictionary{{"mediaRange", P::string("{3600/1,10/1}")},
                            {"timecodeFrameDuration", P::string("1001/30000")},
                            {"timecodeDisplayDropFrame", P::integer(1)}},
              event.slot(timeline, "sequenceInfo"));
    TimelineResolver handMade(std::shared_ptr<FCPDatabaseConnection>(&event.open(), [](auto *) {}),
                              nullptr, nullptr, nullptr);
    const auto dropFrame = handMade.projectTimecodeInfo(timeline);
    ASSERT_TRUE(dropFrame);
    EXPECT_EQ(dropFrame->rate, FrameRate::fps29_97df);
    EXPECT_EQ(dropFrame->startTimecodeString(),
              TimecodeCalculator::framesToTimecode(107892, FrameRate::fps29_97df));

    // The frame at 12.4 s of "Sample": Memory 2 (a clip of another event's sequence).
    const FCPMetadata record = resolver.resolve(int64_t{310}, sample, FrameRate::fps25);
    EXPECT_EQ(record.sourceClipName, "Memory 2");
    EXPECT_EQ(record.sourceFrameNumber, 270310);
    EXPECT_EQ(resolver.resolveSeconds(28.5, sample, FrameRate::fps25).sourceClipName, "\u2014");
}

TEST(TimelineResolverFacts, FindsTitlesTransformsAndStabilisation) {
    HandMadeEvent event;
    const auto chain = [&](int64_t from, int levels) {
        for (int i = 1; i < levels; ++i) {
            from = event.add("FFEffect", P::Dictionary{}, from);
        }
        return from;
    };
    const auto titleEffect = P::Dictionary{{"effectType", P::string("effect.video.title")}};
    const int64_t two = event.add("FFAnchoredGeneratorComponent", P::Dictionary{});
    event.add("FFEffect", titleEffect, chain(two, 2));
    const int64_t six = event.add("FFAnchoredGeneratorComponent", P::Dictionary{});
    event.add("FFEffect", titleEffect, chain(six, 6));
    const int64_t seven = event.add("FFAnchoredGeneratorComponent", P::Dictionary{});
    event.add("FFEffect", titleEffect, chain(seven, 7));
    const int64_t persisted = event.add("FFAnchoredGeneratorComponent", P::Dictionary{});
    event.add("FFEffect", titleEffect,
              event.add("FFAnchoredObject", P::Dictionary{}, persisted, "persistedAnchoredObject"));

    const auto transform = [](double x) {
        const std::string document = "<scene><parameter name=\"Position\"><parameter name=\"X\">"
                                     "<curve value=\"" +
                                     std::to_string(x) + "\"/></parameter></parameter></scene>";
        return P::Dictionary{{"channelData", P::data(Bytes(document.begin(), document.end()))}};
    };
    const int64_t clip = event.add("FFAnchoredCollection", P::Dictionary{});
    const int64_t stack =
        event.add("FFEffectStack", P::Dictionary{{"filterType", P::string("video")}}, clip);
    event.add("FFHeXForm3DEffect", transform(0), stack);
    event.add("FFHeXForm3DEffect", transform(42), stack);
    const int64_t plain = event.add("FFAnchoredCollection", P::Dictionary{});
    event.add("FFAnchoredMediaComponent", P::Dictionary{}, plain);
    FCPDatabaseConnection &db = event.open();

    EXPECT_TRUE(TimelineResolver::generatorIsTitle(two, db));
    // The search looks six levels down.
    EXPECT_TRUE(TimelineResolver::generatorIsTitle(six, db));
    EXPECT_FALSE(TimelineResolver::generatorIsTitle(seven, db));
    EXPECT_FALSE(TimelineResolver::generatorIsTitle(persisted, db));
    // A transform at rest is passed over for a later one.
    const auto found = TimelineResolver::loadTransformInfo(clip, db);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->positionX, 42);
    EXPECT_EQ(TimelineResolver::loadTransformInfo(plain, db), std::nullopt);
    EXPECT_EQ(TimelineResolver::loadStabilizationInfo(clip, db), false);
    EXPECT_EQ(TimelineResolver::loadStabilizationInfo(plain, db), std::nullopt);
}

TEST(TimelineResolverFacts, StatesDropFrameAlsoWhereNoStartIsRead) {
    HandMadeEvent event;
    const auto timeline = [&](std::optional<P::Dictionary> info) {
        const int64_t sequence = event.add("FFAnchoredSequence", P::Dictionary{});
        if (info) {
            event.add("FFSequenceInfo", std::move(*info), event.slot(sequence, "sequenceInfo"));
        }
        return sequence;
    };
    const int64_t noStart =
        timeline(P::Dictionary{{"timecodeFrameDuration", P::string("1001/30000")},
                               {"timecodeDisplayDropFrame", P::boolean(true)}});
    const int64_t unstated = timeline(P::Dictionary{{"mediaRange", P::string("{0/1,10/1}")}});
    const int64_t noInfo = timeline(std::nullopt);
    TimelineResolver resolver(std::shared_ptr<FCPDatabaseConnection>(&event.open(), [](auto *) {}),
                              nullptr, nullptr, nullptr);

    EXPECT_EQ(resolver.projectTimecodeInfo(noStart), std::nullopt);
    EXPECT_EQ(resolver.timelineDropFrame(noStart), true);
    EXPECT_EQ(resolver.timelineDropFrame(unstated), false);
    EXPECT_EQ(resolver.timelineDropFrame(noInfo), std::nullopt);
}

} // namespace
} // namespace tandrel
