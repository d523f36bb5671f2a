// Timecode samples decoded from bytes in memory and turned into timecodes.

#include "timecode/av/CMTimeCode.h"
#include "timecode/av/ErrorName.h"
#include "timecode/av/MediaFormatDescription.h"
#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;

MediaFormatDescription described(FourCharCode subtype) {
    MediaFormatDescription description;
    description.mediaType = MediaType::timecode;
    description.mediaSubType = subtype;
    return description;
}

// The timecodes at 25 fps, or the name of the error.
std::string decoded(const MediaFormatDescription *description, const std::vector<uint8_t> &bytes) {
    try {
        std::string text;
        for (const Timecode &timecode : mapToTimecode(timecodeSamples({description, bytes}),
                                                      props(R::fps25, Base::max100SubFrames))) {
            text.append(text.empty() ? "" : " ").append(timecode.stringValue());
        }
        return text;
    } catch (...) {
        return errorName(std::current_exception());
    }
}

TEST(TimecodeSamples, DecodedFromBytes) {
    const MediaFormatDescription tmcd = described(timeCode32MediaSubType);
    const MediaFormatDescription tc64 = described(timeCode64MediaSubType);
    const MediaFormatDescription video = described(fourCharCode("mp4v"));
    const struct {
        const char *name;
        const MediaFormatDescription *description;
        std::vector<uint8_t> bytes;
        const char *expected;
    } cases[] = {
        {"frame 25", &tmcd, {0, 0, 0, 0x19}, "00:00:01:00"},
        {"two frames", &tmcd, {0, 0, 0, 0x19, 0, 1, 0x5F, 0x90}, "00:00:01:00 01:00:00:00"},
        // The walk stops where fewer bytes than a sample remain.
        {"a 3-byte tail", &tmcd, {0, 0, 0, 0x19, 0, 0, 1}, "00:00:01:00"},
        {"fields of 16 bits", &tc64, {0, 1, 0, 2, 0, 3, 0, 4}, "01:02:03:04"},
        {"a 7-byte tail", &tc64, {0, 1, 0, 2, 0, 3, 0, 4, 0, 0, 0, 0, 0, 0, 0}, "01:02:03:04"},
        {"too short for one", &tc64, {0, 1, 0, 2}, ""},
        {"no bytes", &tmcd, {}, ""},
        {"no description", nullptr, {0, 0, 0, 0x19}, ""},
        {"another format", &video, {0, 0, 0, 0x19}, "unknownTimecode"},
        // Samples that do not fit the properties fail the mapping.
        {"a day at 25 fps", &tmcd, {0, 0x20, 0xF5, 0x80}, "outOfBounds"},
        {"60 minutes", &tc64, {0, 0, 0, 60, 0, 0, 0, 0}, "outOfBounds"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(decoded(c.description, c.bytes), c.expected) << c.name;
    }
}

TEST(TimecodeSamples, SamplesCarryTheirValues) {
    const MediaFormatDescription tmcd = described(timeCode32MediaSubType);
    const MediaFormatDescription tc64 = described(timeCode64MediaSubType);
    const std::vector<uint8_t> bytes = {0x80, 0, 0, 1, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(timecodeSamples({&tmcd, bytes}),
              (std::vector<CMTimeCode>{CMTimeCode32{0x80000001}, CMTimeCode32{0xFFFFFFFF}}));
    EXPECT_EQ(timecodeSamples({&tc64, bytes}),
              std::vector<CMTimeCode>{CMTimeCode64{0x80000001FFFFFFFF}});
}

} // namespace
} // namespace timecode
