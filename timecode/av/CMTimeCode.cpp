#include "timecode/av/CMTimeCode.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MediaFormatDescription.h"
#include "timecode/av/MediaParseError.h"

namespace timecode {

std::vector<CMTimeCode> timecodeSamples(const MediaSampleBuffer &buffer) {
    std::vector<CMTimeCode> samples;
    if (buffer.formatDescription == nullptr || buffer.data.empty()) {
        return samples;
    }
    BigEndianReader reader(buffer.data, "timecode sample");
    switch (buffer.formatDescription->mediaSubType) {
    case timeCode32MediaSubType:
        while (reader.remaining() >= 4) {
            samples.emplace_back(CMTimeCode32{reader.u32()});
        }
        return samples;
    case timeCode64MediaSubType:
        while (reader.remaining() >= 8) {
            samples.emplace_back(CMTimeCode64{reader.u64()});
        }
        return samples;
    default:
        throw MediaParseError(MediaParseError::unknownTimecode);
    }
}

std::vector<Timecode> mapToTimecode(const std::vector<CMTimeCode> &samples,
                                    const Timecode::Properties &properties) {
    std::vector<Timecode> timecodes;
    timecodes.reserve(samples.size());
    for (const CMTimeCode &sample : samples) {
        if (const auto *sample32 = std::get_if<CMTimeCode32>(&sample)) {
            timecodes.emplace_back(TimecodeSourceValue::frames(sample32->frameNumber), properties);
        } else {
            const uint64_t value = std::get<CMTimeCode64>(sample).uInt64;
            const auto field = [value](int shift) {
                return static_cast<int64_t>((value >> shift) & 0xFFFF);
            };
            timecodes.emplace_back(
                TimecodeSourceValue::components(0, field(48), field(32), field(16), field(0), 0),
                properties);
        }
    }
    return timecodes;
}

} // namespace timecode
