#include "plugin/BurnInText.h"
#include "plugin/LayoutText.h"
#include "plugin/StackedLayerBlock.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {
namespace {

using Text = std::optional<std::string>;
using Tune = std::function<void(BurnInElement &)>;

const std::string noClip = "\u2014";

// The element's text for a field and label, after `tune` adjusted the element.
Text text(MetadataField field, const TandrelMetadata &from, std::string label = "",
          const Tune &tune = {}, bool showStackedLayers = false,
          std::optional<bool> stateV1OnTop = std::nullopt) {
    BurnInElement element(field);
    element.label = std::move(label);
    if (tune) {
        tune(element);
    }
    return BurnInText::resolve(element, from, showStackedLayers, stateV1OnTop);
}

PluginStackedLayerInfo layer(int64_t lane, std::optional<std::string> file,
                             std::optional<int64_t> frame = std::nullopt,
                             std::optional<std::string> sceneShot = std::nullopt,
                             std::optional<std::string> timecode = std::nullopt) {
    PluginStackedLayerInfo info;
    info.videoLaneNumber = lane;
    info.sourceFileName = std::move(file);
    info.sourceFrameNumber = frame;
    info.sceneShot = std::move(sceneShot);
    info.sourceTimecode = std::move(timecode);
    return info;
}

const TandrelMetadata clip{{
    .sourceClipName = "A001",
    .sourceFileName = "A001.mov",
    .sourceTimecode = "01:00:00:00",
    .sourceFrameNumber = 1234,
    .projectTimecode = "10:00:00:00",
    .frameRate = 24,
    .scene = "12",
    .shot = "3",
}};

TandrelMetadata with(const std::function<void(TandrelMetadata &)> &change) {
    TandrelMetadata metadata = clip;
    change(metadata);
    return metadata;
}

const TandrelMetadata layered = with([](TandrelMetadata &m) {
    m.stackedLayers = {layer(3, "C003.mov", 30, "30/1", "03:00:00:00"),
                       layer(2, "B002.mov", 20, "20/1", "02:00:00:00")};
});

const TandrelMetadata speeds = with([](TandrelMetadata &m) { m.speedRate = 0.5; });

TandrelMetadata speed(std::optional<double> rate, bool reversed = false, bool freeze = false,
                      bool ramp = false) {
    return with([&](TandrelMetadata &m) {
        m.speedRate = rate;
        m.isReversed = reversed;
        m.isFreezeFrame = freeze;
        m.isSpeedRamp = ramp;
    });
}

const TandrelMetadata markers = with([](TandrelMetadata &m) {
    m.markers = {{"A", "todo", std::nullopt}, {"B", "chapter", "N"}};
});

const TandrelMetadata roles = with([](TandrelMetadata &m) {
    m.activeRoleClips = {{"r1", {"Video", "v1.mov"}},
                         {"r2", {"Dialogue", "d.wav"}},
                         {"r3", {"Video", "v2.mov"}},
                         {"r4", {"Video", "v1.mov"}}};
});

Tune roleFilter(std::set<std::string> uids, RoleDisplayMode mode) {
    return [=](BurnInElement &e) {
        e.roleFilterUIDs = uids;
        e.roleDisplayMode = mode;
    };
}

Tune block(std::optional<StackedLayerColumns> columns,
           std::optional<StackedLayerPrefixPosition> position = std::nullopt,
           std::optional<bool> v1OnTop = std::nullopt) {
    return [=](BurnInElement &e) {
        e.stackedLayerColumns = columns;
        e.stackedLayerPrefixPosition = position;
        e.stackedLayerV1OnTop = v1OnTop;
    };
}

struct Case {
    const char *name;
    std::function<Text()> resolve;
    Text expected;
};

TEST(BurnInText, ResolvesEveryFieldAsItsRulesSay) {
    using F = MetadataField;
    using Columns = StackedLayerColumns;
    using Prefix = StackedLayerPrefixPosition;
    const Case cases[] = {
        // Label joining and the no-clip sentinel.
        {"label joins", [] { return text(F::sourceTC, clip, "TC:"); }, "TC: 01:00:00:00"},
        {"empty label", [] { return text(F::sourceTC, clip); }, "01:00:00:00"},
        {"no-clip timecode",
         [] { return text(F::sourceTC, with([](auto &m) { m.sourceTimecode = noClip; })); },
         std::nullopt},
        {"no-clip timecode over a layer",
         [] {
             return text(F::sourceTC, with([](auto &m) {
                             m.sourceTimecode = noClip;
                             m.stackedLayers = {layer(2, {}, {}, {}, "02:00:00:00")};
                         }),
                         "TC:", {}, true);
         },
         "TC: V2 02:00:00:00"},
        {"cascade by lane, stable",
         [] {
             return text(
                 F::sourceFile, with([](auto &m) {
                     m.sourceFileName = "top.mov";
                     m.stackedLayers = {layer(3, "a.mov"), layer(2, "b.mov"), layer(2, "c.mov")};
                 }),
                 "File:", {}, true);
         },
         "File: top.mov\nV2 b.mov\nV2 c.mov\nV3 a.mov"},
        {"cascade off ignores layers", [] { return text(F::sourceFrame, layered); }, "1234"},
        {"cascade of frames", [] { return text(F::sourceFrame, layered, "", {}, true); },
         "1234\nV2 20\nV3 30"},
        {"scene and shot", [] { return text(F::sceneShot, clip); }, "12-3"},
        {"reel absent", [] { return text(F::reel, clip, "Reel:"); }, std::nullopt},
        {"project timecode", [] { return text(F::projectTC, clip, "Proj:"); }, "Proj: 10:00:00:00"},

        // Speed; 0.29 × 100 is 28.999999999999996 and must still read 29%.
        {"speed 0.5", [] { return text(F::speed, speed(0.5)); }, "50%"},
        {"speed 0.333", [] { return text(F::speed, speed(0.333)); }, "33%"},
        {"speed 0.29", [] { return text(F::speed, speed(0.29)); }, "29%"},
        {"speed 0.57", [] { return text(F::speed, speed(0.57)); }, "57%"},
        {"speed -1", [] { return text(F::speed, speed(-1.0)); }, "-100%"},
        {"speed 2 reversed", [] { return text(F::speed, speed(2.0, true)); }, "200% REV"},
        {"speed 1 reversed", [] { return text(F::speed, speed(1.0, true)); }, std::nullopt},
        {"ramp", [] { return text(F::speed, speed(std::nullopt, false, false, true)); }, "RAMP"},
        {"freeze wins", [] { return text(F::speed, speed(2.0, true, true, true)); }, "FREEZE"},
        {"speed beyond 64 bits", [] { return text(F::speed, speed(1e300)); }, std::nullopt},

        // Resize, resolution, position.
        {"resize",
         [] {
             return text(F::resize, with([](auto &m) {
                             m.scaleX = 1.0;
                             m.scaleY = 1.5;
                         }));
         },
         "125%"},
        {"resize unscaled",
         [] {
             return text(F::resize, with([](auto &m) {
                             m.scaleX = 1.0;
                             m.scaleY = 1.0;
                         }));
         },
         std::nullopt},
        {"resize one scale", [] { return text(F::resize, with([](auto &m) { m.scaleX = 2.0; })); },
         std::nullopt},
        {"resolution",
         [] {
             return text(F::resolution, with([](auto &m) {
                             m.resolutionWidth = 1920.9;
                             m.resolutionHeight = 1080;
                         }));
         },
         "1920x1080"},
        {"resolution height 0",
         [] {
             return text(F::resolution, with([](auto &m) {
                             m.resolutionWidth = 1920;
                             m.resolutionHeight = 0;
                         }));
         },
         std::nullopt},
        {"position",
         [] {
             return text(F::position, with([](auto &m) {
                             m.positionX = 12.5;
                             m.positionY = -3.5;
                         }));
         },
         "X:13 Y:-4"},
        {"rotation only", [] { return text(F::position, with([](auto &m) { m.rotation = 90; })); },
         "R:90\u00B0"},
        {"position X 1 Y 0",
         [] {
             return text(F::position, with([](auto &m) {
                             m.positionX = 1;
                             m.positionY = 0;
                             m.rotation = 0;
                         }));
         },
         "X:1 Y:0"},

        // Markers: types {chapter} by default.
        {"marker note", [] { return text(F::marker, markers); }, "N"},
        {"marker name", [] { return text(F::markerName, markers); }, "B"},
        {"marker name and note", [] { return text(F::markerNameAndNote, markers); }, "B \u2014 N"},
        {"marker note labelled", [] { return text(F::markerNote, markers, "Note:"); }, "Note: N"},
        {"marker type spelled otherwise",
         [] {
             return text(F::markerName, with([](auto &m) {
                             m.markers = {{"C", "Chapter", std::nullopt}};
                         }));
         },
         std::nullopt},
        {"no marker types",
         [] { return text(F::markerName, markers, "", [](auto &e) { e.markerTypes = {}; }); },
         std::nullopt},

        // Roles: r1 and r4 are the same clip, counted once.
        {"role names",
         [] {
             return text(F::roleText, roles, "",
                         roleFilter({"r1", "r2", "r3", "r4"}, RoleDisplayMode::roleName));
         },
         "Dialogue, Video"},
        {"role file names",
         [] {
             return text(F::roleText, roles,
                         "Roles:", roleFilter({"r1", "r3", "r4"}, RoleDisplayMode::mediaFilename));
         },
         "Roles: v1.mov, v2.mov"},
        {"role custom",
         [] {
             return text(F::roleText, roles, "CAM A", roleFilter({"r2"}, RoleDisplayMode::custom));
         },
         "CAM A"},
        {"role custom without match",
         [] {
             return text(F::roleText, roles, "CAM A", roleFilter({"r9"}, RoleDisplayMode::custom));
         },
         std::nullopt},

        // Custom text, clip name, stacked video, stabilisation.
        {"custom", [] { return text(F::custom, clip, "CAM B"); }, "CAM B"},
        {"custom empty", [] { return text(F::custom, clip); }, std::nullopt},
        {"empty clip name",
         [] { return text(F::clipName, with([](auto &m) { m.sourceClipName = ""; })); }, ""},
        {"no clip name",
         [] { return text(F::clipName, with([](auto &m) { m.sourceClipName = noClip; })); },
         std::nullopt},
        {"stacked video without clip",
         [] {
             return text(F::stackedVideo, with([](auto &m) {
                             m.sourceClipName = noClip;
                             m.stackedVideoClips = {"B", "C"};
                         }));
         },
         "B, C"},
        {"stabilised",
         [] { return text(F::stabilization, with([](auto &m) { m.hasStabilization = true; })); },
         "Stabilized"},

        // Stacked-layer blocks; labels are the cells' prefixes, never joined.
        {"one-row block", [] { return text(F::stackedLayerReel, clip, "REEL"); },
         "[REEL V1] A001.mov 1234 [SRC FRM# V1]"},
        {"left column only",
         [] { return text(F::stackedLayerReel, layered, "REEL", block(Columns::leftOnly)); },
         "[REEL V1] A001.mov\n[REEL V2] B002.mov\n[REEL V3] C003.mov"},
        {"right column only",
         [] { return text(F::stackedLayerReel, clip, "REEL", block(Columns::rightOnly)); },
         "1234 [SRC FRM# V1]"},
        {"prefix after",
         [] {
             return text(F::stackedLayerReel, clip, "REEL",
                         block(Columns::both, Prefix::afterValue));
         },
         "A001.mov [REEL V1] 1234 [SRC FRM# V1]"},
        {"prefix before",
         [] {
             return text(F::stackedLayerReel, clip, "REEL",
                         block(Columns::rightOnly, Prefix::beforeValue));
         },
         "[SRC FRM# V1] 1234"},
        {"layer without file name",
         [] {
             return text(F::stackedLayerReel,
                         with([](auto &m) { m.stackedLayers = {layer(2, std::nullopt, 7)}; }),
                         "REEL", block(Columns::leftOnly));
         },
         "[REEL V1] A001.mov\n[REEL V2] "},
        {"reel V1 on top",
         [] { return text(F::stackedLayerReel, layered, "R", block(Columns::leftOnly, {}, true)); },
         "[R V1] A001.mov\n[R V2] B002.mov\n[R V3] C003.mov"},
        {"reel V1 at the bottom",
         [] {
             return text(F::stackedLayerReel, layered, "R", block(Columns::leftOnly, {}, false));
         },
         "[R V3] C003.mov\n[R V2] B002.mov\n[R V1] A001.mov"},
        {"slate V1 on top",
         [] {
             return text(F::stackedLayerSlate, layered, "S", block(Columns::leftOnly, {}, true));
         },
         "[S V1] 12/3\n[S V2] 20/1\n[S V3] 30/1"},
        {"slate without a choice puts V1 last",
         [] { return text(F::stackedLayerSlate, layered, "S", block(Columns::leftOnly)); },
         "[S V3] 30/1\n[S V2] 20/1\n[S V1] 12/3"},
        {"the state's choice when the element has none",
         [] {
             return text(F::stackedLayerSlate, layered, "S", block(Columns::leftOnly), false, true);
         },
         "[S V1] 12/3\n[S V2] 20/1\n[S V3] 30/1"},
        {"the element's choice over the state's",
         [] {
             return text(F::stackedLayerReel, layered, "R", block(Columns::leftOnly, {}, false),
                         false, true);
         },
         "[R V3] C003.mov\n[R V2] B002.mov\n[R V1] A001.mov"},
        {"slate of both columns",
         [] {
             return text(F::stackedLayerSlate,
                         with([](auto &m) { m.stackedLayers = {layer(2, {}, {}, "4/5", "")}; }),
                         "SLATE", [](auto &e) { e.secondaryLabel = "SRC"; });
         },
         "[SLATE V2] 4/5              [SRC V2]\n[SLATE V1] 12/3 01:00:00:00 [SRC V1]"},
        {"no-clip blocks, layers or not",
         [] {
             return text(F::stackedLayerReel, with([](auto &m) {
                             m.sourceClipName = noClip;
                             m.stackedLayers = layered.stackedLayers;
                         }),
                         "REEL");
         },
         std::nullopt},
        {"blocks ignore showStackedLayers",
         [] { return text(F::stackedLayerReel, clip, "REEL", {}, true); },
         "[REEL V1] A001.mov 1234 [SRC FRM# V1]"},
        {"padding counts user-perceived characters",
         [] {
             return text(F::stackedLayerReel, with([](auto &m) {
                             m.sourceFileName = "Cafe\u0301.mov";
                             m.stackedLayers = {layer(2, "Cafe.mov", 5)};
                         }),
                         "R", [](auto &e) { e.secondaryLabel = "F"; });
         },
         "[R V1] Cafe\u0301.mov 1234 [F V1]\n[R V2] Cafe.mov    5 [F V2]"},
        {"two columns pad to the widest row",
         [] {
             return StackedLayerBlock::formatStackedBlock(
                 {{1, "0123456789", "abcdef"}, {2, "0123456789abcd", "ghijkl"}});
         },
         "0123456789     abcdef\n0123456789abcd ghijkl"},
        {"no rows", [] { return StackedLayerBlock::formatStackedBlock({}); }, std::nullopt},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(c.resolve(), c.expected) << c.name;
    }
}

// One long cell would pad every other row of a block to its length; the rows pad no further
// than a text draws characters, and what the rasteriser draws of the block stays the same.
TEST(StackedLayerBlock, ALongCellPadsTheOtherRowsNoFurtherThanATextDraws) {
    const std::string longCell = "[R V2] " + std::string(10000, 'x');
    std::vector<StackedLayerBlock::StackedRow> rows{{1, "[R V1] a", "[F V1] 1"},
                                                    {2, longCell, "[F V2] 2"}};
    for (int64_t lane = 3; lane < 100; ++lane) {
        rows.push_back({lane, "[R V" + std::to_string(lane) + "] b", "[F] 3"});
    }
    const auto block = StackedLayerBlock::formatStackedBlock(rows);
    ASSERT_TRUE(block);
    EXPECT_LT(block->size(), longCell.size() + 100 * 330);
    // Each row padded to the long one: the first line's beginning and its spaces.
    EXPECT_EQ(LayoutText(*block).text(), "[R V1] a" + std::string(292, ' ') + "\u2026");
    EXPECT_EQ(block->substr(0, 8 + 300 + 9), "[R V1] a" + std::string(300, ' ') + "[F V1] 1\n");

    // Rows that fit keep the one column of right cells.
    rows[1].left = "[R V2] " + std::string(250, 'x');
    const auto fitting = StackedLayerBlock::formatStackedBlock(rows);
    ASSERT_TRUE(fitting);
    EXPECT_EQ(fitting->substr(0, fitting->find('\n')),
              "[R V1] a" + std::string(250, ' ') + "[F V1] 1");
}

} // namespace
} // namespace tandrel
