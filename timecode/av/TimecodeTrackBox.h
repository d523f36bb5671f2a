#pragma once

#include "timecode/av/MediaFileType.h"
#include "timecode/av/MovieBox.h"
#include "timecode/av/MovieTrackRecord.h"

#include <cstdint>

namespace timecode {

// What a timecode track box is built from: one sample in one chunk.
struct TimecodeTrackBoxFields {
    uint32_t trackID = 0;
    MovieSampleEntry sampleEntry;
    uint32_t sampleSize = 0;
    uint32_t mediaTimescale = 0;
    // The sample's duration, in the media timescale.
    uint32_t sampleDuration = 0;
    // In the movie's timescale.
    uint64_t trackDuration = 0;
    uint64_t creationTime = 0;
    uint64_t modificationTime = 0;
    MediaFileType fileType = MediaFileType::quickTimeMovie;
    uint64_t chunkOffset = 0;
};

// A complete 'trak' box of a timecode track: track header (enabled, in the movie), media
// header, the 'tmcd' handler, the timecode media information (QuickTime) or null media header
// (MPEG-4), a self-contained data reference and the sample table.
MovieBox timecodeTrackBox(const TimecodeTrackBoxFields &fields);

// Points the track's only chunk at the file offset: a 32-bit table where the offset fits one,
// else a 64-bit table.
void setChunkOffset(MovieBox &track, uint64_t offset);

} // namespace timecode
