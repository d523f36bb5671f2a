#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace tandrel {

// Which absolute frame the editor's timeline starts at. The host's timeline times start at 0,
// while the editor's carry the project's start timecode, which the snapshot may not know; the
// detector keeps the candidate starts that still fit every playhead seen so far, narrows them
// as frames arrive and locks when one is left. Frames are whole frames at the timeline rate.
struct StartFrameDetector {
    // Candidate absolute frames of the timeline's first frame, in preference order.
    std::vector<int64_t> candidates = {};
    // The candidate in use.
    std::optional<int64_t> startFrame = {};
    // Once set, startFrame is used without further detection.
    bool isLocked = false;

    // The offsets in order, negative ones dropped and later duplicates removed.
    explicit StartFrameDetector(const std::vector<int64_t> &candidateOffsets);

    // The start for a playhead at `absoluteFrame` on a timeline of `timelineLength` frames,
    // narrowing the candidates to those that place the playhead inside the timeline (the list
    // stays as it was when none does, and the answer is then nothing). The start in use is
    // kept while it fits; otherwise the first candidate that puts the playhead inside a clip
    // (`insideClip` of the timeline frame) is taken, else the first candidate. Locks when a
    // single candidate is left.
    std::optional<int64_t> detect(int64_t absoluteFrame, int64_t timelineLength,
                                  const std::function<bool(int64_t timelineFrame)> &insideClip);
};

} // namespace tandrel
