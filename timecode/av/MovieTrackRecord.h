#pragma once

#include "timecode/av/FourCharCode.h"
#include "timecode/av/MovieBox.h"

#include <cstdint>
#include <vector>

namespace timecode {

// One entry of a track's sample description table: its format and the bytes after the entry's
// header.
struct MovieSampleEntry {
    FourCharCode type;
    std::vector<uint8_t> payload;
    friend bool operator==(const MovieSampleEntry &, const MovieSampleEntry &) = default;
};

// One reference list of a track ('tmcd', 'chap', ...): the tracks it points at.
struct MovieTrackReference {
    FourCharCode type;
    std::vector<uint32_t> trackIDs;
    friend bool operator==(const MovieTrackReference &, const MovieTrackReference &) = default;
};

// What the reader needs of one 'trak' box.
struct MovieTrackRecord {
    uint32_t trackID = 0;
    // The track header's enabled flag: players present only enabled tracks.
    bool enabled = false;
    // The media handler: 'vide', 'soun', 'tmcd', ...; 0 without one.
    FourCharCode handlerType = 0;
    uint32_t mediaTimescale = 0;
    uint64_t mediaDuration = 0;
    std::vector<MovieSampleEntry> sampleEntries;
    std::vector<MovieTrackReference> references;

    // Reads the track box. Throws MovieFormatError for a track without a readable track header
    // or with a damaged header, handler or sample description table.
    static MovieTrackRecord read(const MovieBox &track);
};

// One record per 'trak' box of the movie box, in order.
std::vector<MovieTrackRecord> movieTrackRecords(const MovieBox &movie);

// The handler type of a 'trak' box, 0 when it has none.
FourCharCode movieTrackHandlerType(const MovieBox &track);
// The track ID of a 'trak' box, from its track header; 0 when it has none.
uint32_t movieTrackID(const MovieBox &track);

} // namespace timecode
