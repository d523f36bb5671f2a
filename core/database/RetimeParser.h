#pragma once

#include "core/database/CollectionSource.h"
#include "core/model/TimeMapKeypoint.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tandrel {

// Reads a clip's retiming effect: its speed, reverse flag, frame sampling and the keypoints of
// its time map. The keypoints are the document's own: `timelineSeconds` is the keypoint's
// time in the clip's own time (the time its "clippedRange" is given in, neither the timeline's
// absolute time nor an offset from the clip's place on it) and `sourceSeconds` the media time
// it shows there. Nothing is reported: a missing or unreadable effect gives no values.
struct RetimeParser {
    using TimeMapKeypoint = tandrel::TimeMapKeypoint;

    // How frames are sampled at speeds that do not divide evenly.
    class FrameSamplingMethod {
    public:
        enum Case : uint8_t { floor = 0, nearest = 1, frameBlending = 2, opticalFlow = 6 };

        constexpr FrameSamplingMethod(Case value) : value_(value) {}
        constexpr operator Case() const { return value_; }
        constexpr int rawValue() const { return value_; }
        // Nothing for any other value (3, 4, 5, negative, 7 and above).
        static std::optional<FrameSamplingMethod> fromRawValue(int64_t rawValue);

    private:
        Case value_;
    };

    struct RetimeValues {
        // Percent; 100 is normal speed.
        double speed = 100.0;
        bool isReversed = false;
        // In document order, neither sorted nor de-duplicated.
        std::vector<TimeMapKeypoint> timeMapKeypoints = {};
        FrameSamplingMethod frameSampling = FrameSamplingMethod::floor;

        bool isRetimed() const;
        bool isSpeedRamp() const;
        // The first and last keypoints show the same source time (within 1 ms).
        bool isFreezeFrame() const;
        // With exactly two keypoints, the speed between them in percent: 0 when they share a
        // timeline time, or when the quotient is not a finite number.
        std::optional<double> effectiveSpeed() const;

        friend bool operator==(const RetimeValues &, const RetimeValues &) = default;
    };

    // Effects deeper than this below the clip are not searched (a direct child is level 1, and
    // the search of depth `maxDepth` lists level `maxDepth + 1`).
    static constexpr int maxDepth = 7;

    // The first retiming effect below the clip, depth-first in child order, leaving out
    // connected clips. An effect with channel data ends the search, whether or not its
    // document reads.
    static std::optional<RetimeValues> find(int64_t forClipPK, const CollectionSource &db,
                                            int depth = 0);
    // Nothing when the entity guard or the parser refuses the document or it is not UTF-8.
    static std::optional<RetimeValues> parse(std::span<const uint8_t> channelData);
};

} // namespace tandrel
