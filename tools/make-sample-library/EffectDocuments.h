#pragma once

#include "tools/make-sample-library/LibraryDescription.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tandrel::sample {

// The parameter documents that the editor keeps in an effect's "channelData": nested named
// parameters whose curves hold constant values or keypoints.
struct EffectDocuments {
    // One keypoint of a time map: its time as a rational number of seconds in the clip's own
    // time, and the media seconds it shows.
    struct TimeMapPoint {
        int64_t value;
        int64_t timescale;
        double sourceSeconds;
    };

    static std::string retime(const Retime &retime, const std::vector<TimeMapPoint> &timeMap);
    static std::string transform(const Transform &transform);
    static std::string stabilization();

    // Documents no editor writes, which every reader must refuse or survive: entity
    // declarations in all the places a guard on the prolog misses, external DTDs, UTF-16,
    // malformed and non-finite numbers, deep nesting.
    static std::vector<std::string> hostile();
};

} // namespace tandrel::sample
