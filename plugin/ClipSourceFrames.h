#pragma once

#include "plugin/PluginSnapshotEntry.h"
#include "plugin/SourceFrameRange.h"

#include <optional>
#include <vector>

namespace tandrel {

// The source frames each entry's clip uses. The host writes one clip as consecutive entries,
// one per stretch over which its connected items stay the same, all on one line of source
// frames: each entry starts at the clip's first source frame plus its offset into the clip
// times speed, rounded to a whole frame. That rounding moves an entry's own line by up to half
// a frame, so the range is worked out from the clip's first entry and its whole length.
struct ClipSourceFrames {
    // Sets `usedSourceFrames` of every entry to the range of its clip: the run of entries that
    // follow one another without a gap, show the same clip at the same speed and rate, and
    // continue one line of source frames (or one retime curve).
    static void assign(std::vector<PluginSnapshotEntry> &entries);

    // The range of a clip that starts as `first` does and lasts `seconds`: over its length its
    // source position moves from `srcStartFrame` at `srcSpeed` (a reversed clip starts at the
    // end of its range, which it never shows), or follows its retime curve, held before the
    // first keypoint and after the last. Nothing for a clip of no length, or a curve whose
    // keypoints are out of order.
    static std::optional<SourceFrameRange> of(const PluginSnapshotEntry &first, double seconds);
};

} // namespace tandrel
