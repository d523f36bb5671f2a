#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace timecode {

// The fields of a movie header box ('mvhd') that the editor changes, with the others kept as
// read.
struct MovieHeader {
    uint64_t creationTime = 0;
    uint64_t modificationTime = 0;
    uint32_t timescale = 0;
    uint64_t duration = 0;
    uint32_t nextTrackID = 0;
    // Rate, volume, matrix and the reserved fields, as read.
    std::vector<uint8_t> body;
    // Bytes after the next track ID, if a writer put any there.
    std::vector<uint8_t> tail;

    // Throws MovieFormatError for a payload too short for its version.
    static MovieHeader parse(std::span<const uint8_t> payload);
    // Version 1 when a time or the duration needs 64 bits, else version 0.
    std::vector<uint8_t> payload() const;
};

} // namespace timecode
