#include "timecode/av/MediaFormatDescription.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MediaWriteError.h"
#include "timecode/av/MovieBox.h"
#include "timecode/av/MovieTime.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/core/Timecode.h"

#include <limits>

namespace timecode {

namespace {

// Reserved bytes, data reference index, reserved, flags, timescale, frame duration, quanta and
// a reserved byte: the fields of a timecode sample entry before its boxes.
constexpr size_t kTimecodeEntryFieldsSize = 26;

std::optional<std::string> readSourceReferenceName(std::span<const uint8_t> boxes) {
    size_t offset = 0;
    try {
        while (const auto next = movieBoxAtFront(boxes.subspan(offset))) {
            if (!next->fits) {
                break;
            }
            if (next->type == fourCharCode("name")) {
                BigEndianReader reader(next->payload, "name");
                const uint16_t length = reader.u16();
                reader.skip(2);
                const auto text = reader.bytes(length);
                return std::string(text.begin(), text.end());
            }
            offset += next->size;
        }
    } catch (const MovieFormatError &) {
        // A damaged box after the fields leaves the description without a name.
    }
    return std::nullopt;
}

} // namespace

std::optional<int64_t> MediaFormatDescription::integerExtension(std::string_view key) const {
    const auto found = extensions.find(key);
    if (found == extensions.end()) {
        return std::nullopt;
    }
    if (const auto *number = std::get_if<int64_t>(&found->second)) {
        return *number;
    }
    return std::nullopt;
}

MediaFormatDescription
cmFormatDescription(const Timecode &timecode,
                    const std::optional<FormatDescriptionExtensions> &extensions) {
    const TimecodeFrameRate rate = timecode.frameRate();
    const Fraction duration = rate.frameDuration();
    MediaFormatDescription description;
    description.mediaType = MediaType::timecode;
    description.mediaSubType = timeCode32MediaSubType;
    description.frameDuration =
        MediaTime(duration.numerator(), static_cast<int32_t>(duration.denominator()));
    description.frameQuanta = static_cast<uint32_t>(rate.maxFrames());
    if (timecode.upperLimit() == Timecode::UpperLimit::max24Hours) {
        description.timeCodeFlags |= TimecodeFormatFlag::twentyFourHourMax;
    }
    if (rate.isDrop()) {
        description.timeCodeFlags |= TimecodeFormatFlag::dropFrame;
    }
    if (extensions) {
        description.extensions = *extensions;
    }
    return description;
}

MediaFormatDescription mediaFormatDescription(const MovieSampleEntry &entry, MediaType mediaType) {
    MediaFormatDescription description;
    description.mediaType = mediaType;
    description.mediaSubType = entry.type;
    if (!description.isTimecode() || entry.payload.size() < kTimecodeEntryFieldsSize) {
        return description;
    }
    BigEndianReader reader(entry.payload, "timecode description");
    reader.skip(12);
    description.timeCodeFlags = reader.u32();
    const uint32_t timescale = reader.u32();
    const uint32_t frameDuration = reader.u32();
    description.frameQuanta = reader.u8();
    reader.skip(1);
    description.frameDuration = movieFileTime(frameDuration, timescale);
    if (auto name = readSourceReferenceName(reader.rest())) {
        description.extensions.emplace(FormatDescriptionExtensionKey::sourceReferenceName,
                                       std::move(*name));
    }
    return description;
}

MovieSampleEntry timecodeSampleEntry(const MediaFormatDescription &description) {
    const MediaTime &duration = description.frameDuration;
    if (!duration.isNumeric() || duration.value < 0 ||
        duration.value > std::numeric_limits<uint32_t>::max() || description.frameQuanta > 255) {
        throw MediaWriteError(
            MediaWriteError::internalError,
            "the frame duration or frame quanta do not fit a timecode description");
    }
    MovieSampleEntry entry{description.mediaSubType, {}};
    entry.payload.reserve(kTimecodeEntryFieldsSize);
    BigEndianWriter writer(entry.payload);
    writer.zeros(6).u16(1).u32(0);
    writer.u32(description.timeCodeFlags)
        .u32(static_cast<uint32_t>(duration.timescale))
        .u32(static_cast<uint32_t>(duration.value))
        .u8(static_cast<uint8_t>(description.frameQuanta))
        .u8(0);
    const auto name =
        description.extensions.find(FormatDescriptionExtensionKey::sourceReferenceName);
    if (name != description.extensions.end()) {
        const auto *text = std::get_if<std::string>(&name->second);
        if (text == nullptr || text->size() > std::numeric_limits<uint16_t>::max()) {
            throw MediaWriteError(
                MediaWriteError::internalError,
                "the source reference name must be a text of at most 65535 bytes");
        }
        std::vector<uint8_t> payload;
        payload.reserve(4 + text->size());
        BigEndianWriter(payload)
            .u16(static_cast<uint16_t>(text->size()))
            .u16(0)
            .bytes({reinterpret_cast<const uint8_t *>(text->data()), text->size()});
        MovieBox::leaf(fourCharCode("name"), std::move(payload)).serialize(entry.payload);
    }
    return entry;
}

} // namespace timecode
