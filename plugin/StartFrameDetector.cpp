#include "plugin/StartFrameDetector.h"

#include <algorithm>
#include <iterator>

namespace tandrel {

StartFrameDetector::StartFrameDetector(const std::vector<int64_t> &candidateOffsets) {
    for (const int64_t offset : candidateOffsets) {
        if (offset >= 0 &&
            std::find(candidates.begin(), candidates.end(), offset) == candidates.end()) {
            candidates.push_back(offset);
        }
    }
}

std::optional<int64_t>
StartFrameDetector::detect(int64_t absoluteFrame, int64_t timelineLength,
                           const std::function<bool(int64_t timelineFrame)> &insideClip) {
    std::vector<int64_t> fitting;
    std::copy_if(candidates.begin(), candidates.end(), std::back_inserter(fitting),
                 [&](int64_t start) {
                     const int64_t timelineFrame = absoluteFrame - start;
                     return timelineFrame >= 0 && timelineFrame < timelineLength;
                 });
    if (fitting.empty()) {
        return std::nullopt;
    }
    candidates = std::move(fitting);
    if (!startFrame ||
        std::find(candidates.begin(), candidates.end(), *startFrame) == candidates.end()) {
        const auto inside = std::find_if(candidates.begin(), candidates.end(), [&](int64_t start) {
            return insideClip(absoluteFrame - start);
        });
        startFrame = inside != candidates.end() ? *inside : candidates.front();
    }
    isLocked = isLocked || candidates.size() == 1;
    return startFrame;
}

} // namespace tandrel
