#pragma once

#include "core/database/AssetStore.h"
#include "core/database/CollectionSource.h"
#include "core/model/FrameRate.h"
#include "core/model/TimeMapKeypoint.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

class MulticamMediaIndex;

// What the library records about the media a clip shows (asset name, media identifier, rate,
// the clip's reel, scene, shot, angle and notes) and the offsets that turn the clip's own
// start into the true start in its source media. Stateless; never throws.
struct AssetInfoResolver {
    struct AssetInfo {
        std::optional<std::string> name = {};
        std::optional<std::string> mediaID = {};
        std::optional<FrameRate> rate = {};
        std::optional<std::string> reel = {};
        std::optional<std::string> scene = {};
        std::optional<std::string> shot = {};
        std::optional<std::string> angle = {};
        std::optional<std::string> notes = {};
        // Clipped starts (seconds) of the collection that carries the media and of the media
        // component inside it.
        std::optional<double> videoCollectionStart = {};
        std::optional<double> videoMediaComponentStart = {};
        // Seconds to add to a start inside a multicam angle.
        std::optional<double> multicamAngleClockOffset = {};

        friend bool operator==(const AssetInfo &, const AssetInfo &) = default;
    };

    // Children deeper than this below the clip contribute nothing.
    static constexpr int maxDepth = 7;
    // Where times are matched, offsets within this count as zero.
    static constexpr double tolerance = 1.0 / 240.0;

    // Depth-first below the clip, in child order, leaving out connected clips, up to the first
    // asset reference (or multicam clip that `multicamIndex` resolves). `outerStart` is the
    // clip's start in its own time, used as the assembly position of a multicam angle.
    static AssetInfo findAssetInfo(int64_t pk, const CollectionSource &db,
                                   const AssetStore &assetStore, MulticamMediaIndex *multicamIndex,
                                   const std::optional<std::string> &videoAngle,
                                   std::optional<double> outerStart, int depth = 0);

    // The true start in the source media of a clip that starts at `outerStart` in its own
    // time; `wrapperTimeMap` is the time map of a retime around the clip.
    static double
    correctedSourceIn(double outerStart, const AssetInfo &info,
                      const std::optional<std::vector<TimeMapKeypoint>> &wrapperTimeMap);

    // The source seconds of a time map at time `at`, interpolated linearly between keypoints
    // sorted by time and extended by `tolerance` at both ends. Nothing for fewer than two
    // keypoints, a time outside the map, or a value that is not finite.
    static std::optional<double>
    evaluateTimeMap(const std::optional<std::vector<TimeMapKeypoint>> &timeMap, double at);
};

} // namespace tandrel
