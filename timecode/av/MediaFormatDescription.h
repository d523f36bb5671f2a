#pragma once

#include "timecode/av/FourCharCode.h"
#include "timecode/av/MediaType.h"
#include "timecode/core/MediaTime.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace timecode {

class Timecode;
struct MovieSampleEntry;

// The extensions of a format description: named numbers and texts.
using FormatDescriptionExtensionValue = std::variant<int64_t, std::string>;
using FormatDescriptionExtensions =
    std::map<std::string, FormatDescriptionExtensionValue, std::less<>>;

namespace FormatDescriptionExtensionKey {
// A video description's fields per frame: 1 progressive, 2 interlaced.
inline constexpr std::string_view fieldCount = "CVFieldCount";
// A timecode description's source reference (the reel or tape name), stored in the file as
// the sample entry's 'name' box.
inline constexpr std::string_view sourceReferenceName = "SourceReferenceName";
} // namespace FormatDescriptionExtensionKey

// The media subtypes of the two timecode sample formats.
inline constexpr FourCharCode timeCode32MediaSubType = fourCharCode("tmcd");
inline constexpr FourCharCode timeCode64MediaSubType = fourCharCode("tc64");

// The flags of a timecode description.
enum TimecodeFormatFlag : uint32_t {
    dropFrame = 0x1,
    twentyFourHourMax = 0x2,
    negativeTimesOK = 0x4,
    counter = 0x8,
};

// How the samples of a track (or part of one) are to be read: one entry of its sample
// description table. Timecode descriptions also carry the count's flags, the duration of one
// frame and the frames per second of the count (the frame quanta).
struct MediaFormatDescription {
    MediaType mediaType = MediaType::other;
    FourCharCode mediaSubType = 0;
    uint32_t timeCodeFlags = 0;
    // Invalid where the description has none (every description but a timecode one).
    MediaTime frameDuration;
    uint32_t frameQuanta = 0;
    FormatDescriptionExtensions extensions;

    // A number extension; nothing when absent or not a number.
    std::optional<int64_t> integerExtension(std::string_view key) const;
    bool isTimecode() const {
        return mediaSubType == timeCode32MediaSubType || mediaSubType == timeCode64MediaSubType;
    }

    friend bool operator==(const MediaFormatDescription &,
                           const MediaFormatDescription &) = default;
};

// The description of a 32-bit timecode track that counts from the timecode: frame duration
// the rate's frameDuration (unreduced, 100/2500 at 25), frame quanta the rate's maxFrames,
// the 24-hour flag under the 24-hour limit and the drop-frame flag at the drop rates, and the
// extensions given.
MediaFormatDescription
cmFormatDescription(const Timecode &timecode,
                    const std::optional<FormatDescriptionExtensions> &extensions);

// A sample description entry read as a description of the media type; the timecode fields are
// read for 'tmcd' and 'tc64' entries (an entry too short for them has none).
MediaFormatDescription mediaFormatDescription(const MovieSampleEntry &entry, MediaType mediaType);

// The sample description entry of a timecode description, the source reference name as a
// 'name' box. Throws MediaWriteError::internalError for a frame duration or quanta that the
// entry's fields cannot hold.
MovieSampleEntry timecodeSampleEntry(const MediaFormatDescription &description);

} // namespace timecode
