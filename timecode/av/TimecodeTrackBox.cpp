#include "timecode/av/TimecodeTrackBox.h"

#include "timecode/av/BigEndian.h"

#include <limits>
#include <string_view>

namespace timecode {

namespace {

constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();
constexpr std::string_view kHandlerName = "TimecodeHandler";
// Enabled, in the movie.
constexpr uint32_t kTrackFlags = 0x000003;
constexpr uint16_t kUndeterminedLanguage = 0x55C4;

std::vector<uint8_t> trackHeader(const TimecodeTrackBoxFields &fields) {
    const bool wide = fields.creationTime > kMax32 || fields.modificationTime > kMax32 ||
                      fields.trackDuration > kMax32;
    std::vector<uint8_t> payload;
    BigEndianWriter writer(payload);
    writer.u32((wide ? 0x01000000 : 0) | kTrackFlags);
    if (wide) {
        writer.u64(fields.creationTime).u64(fields.modificationTime).u32(fields.trackID).u32(0);
        writer.u64(fields.trackDuration);
    } else {
        writer.u32(static_cast<uint32_t>(fields.creationTime))
            .u32(static_cast<uint32_t>(fields.modificationTime))
            .u32(fields.trackID)
            .u32(0)
            .u32(static_cast<uint32_t>(fields.trackDuration));
    }
    // Reserved, layer, alternate group, volume, reserved; the identity matrix; no picture.
    writer.zeros(8).u16(0).u16(0).u16(0).u16(0);
    writer.u32(0x00010000)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0x00010000)
        .u32(0)
        .u32(0)
        .u32(0)
        .u32(0x40000000);
    writer.u32(0).u32(0);
    return payload;
}

std::vector<uint8_t> mediaHeader(const TimecodeTrackBoxFields &fields) {
    const bool wide = fields.creationTime > kMax32 || fields.modificationTime > kMax32;
    std::vector<uint8_t> payload;
    BigEndianWriter writer(payload);
    writer.u32(wide ? 0x01000000 : 0);
    if (wide) {
        writer.u64(fields.creationTime).u64(fields.modificationTime).u32(fields.mediaTimescale);
        writer.u64(fields.sampleDuration);
    } else {
        writer.u32(static_cast<uint32_t>(fields.creationTime))
            .u32(static_cast<uint32_t>(fields.modificationTime))
            .u32(fields.mediaTimescale)
            .u32(fields.sampleDuration);
    }
    writer.u16(kUndeterminedLanguage).u16(0);
    return payload;
}

// QuickTime names the component type and writes the name as a counted string; MPEG-4 leaves
// the type 0 and ends the name with a zero byte.
std::vector<uint8_t> handler(MediaFileType fileType, FourCharCode componentType,
                             FourCharCode subtype, std::string_view name) {
    std::vector<uint8_t> payload;
    BigEndianWriter writer(payload);
    const auto text = std::span(reinterpret_cast<const uint8_t *>(name.data()), name.size());
    if (fileType == MediaFileType::quickTimeMovie) {
        writer.u32(0).fourCC(componentType).fourCC(subtype).zeros(12);
        writer.u8(static_cast<uint8_t>(name.size())).bytes(text);
    } else {
        writer.u32(0).u32(0).fourCC(subtype).zeros(12).bytes(text).u8(0);
    }
    return payload;
}

// Base media information and the timecode media information: black text on white.
MovieBox timecodeMediaInformationHeader() {
    std::vector<uint8_t> baseInformation;
    BigEndianWriter(baseInformation)
        .u32(0)
        .u16(0x0040)
        .u16(0x8000)
        .u16(0x8000)
        .u16(0x8000)
        .u16(0)
        .u16(0);
    std::vector<uint8_t> displayInformation;
    BigEndianWriter(displayInformation)
        .u32(0)
        .u16(0)
        .u16(0)
        .u16(12)
        .u16(0)
        .u16(0)
        .u16(0)
        .u16(0)
        .u16(0xFFFF)
        .u16(0xFFFF)
        .u16(0xFFFF)
        .u8(0);
    std::vector<uint8_t> timecodeInformation;
    MovieBox::leaf(fourCharCode("tcmi"), displayInformation).serialize(timecodeInformation);
    std::vector<uint8_t> payload;
    MovieBox::leaf(fourCharCode("gmin"), baseInformation).serialize(payload);
    MovieBox::leaf(fourCharCode("tmcd"), timecodeInformation).serialize(payload);
    return MovieBox::leaf(fourCharCode("gmhd"), payload);
}

MovieBox dataInformation() {
    std::vector<uint8_t> references;
    BigEndianWriter(references).u32(0).u32(1);
    // The media data is in this file.
    std::vector<uint8_t> self;
    BigEndianWriter(self).u32(0x000001);
    MovieBox::leaf(fourCharCode("url "), self).serialize(references);
    return MovieBox::container(fourCharCode("dinf"),
                               {MovieBox::leaf(fourCharCode("dref"), references)});
}

MovieBox sampleTable(const TimecodeTrackBoxFields &fields) {
    std::vector<uint8_t> descriptions;
    BigEndianWriter(descriptions).u32(0).u32(1);
    MovieBox::leaf(fields.sampleEntry.type, fields.sampleEntry.payload).serialize(descriptions);
    std::vector<uint8_t> timeToSample;
    BigEndianWriter(timeToSample).u32(0).u32(1).u32(1).u32(fields.sampleDuration);
    std::vector<uint8_t> sampleToChunk;
    BigEndianWriter(sampleToChunk).u32(0).u32(1).u32(1).u32(1).u32(1);
    std::vector<uint8_t> sampleSizes;
    BigEndianWriter(sampleSizes).u32(0).u32(fields.sampleSize).u32(1);
    MovieBox table = MovieBox::container(fourCharCode("stbl"),
                                         {MovieBox::leaf(fourCharCode("stsd"), descriptions),
                                          MovieBox::leaf(fourCharCode("stts"), timeToSample),
                                          MovieBox::leaf(fourCharCode("stsc"), sampleToChunk),
                                          MovieBox::leaf(fourCharCode("stsz"), sampleSizes)});
    table.children.push_back(MovieBox::leaf(fourCharCode("stco"), {}));
    return table;
}

} // namespace

MovieBox timecodeTrackBox(const TimecodeTrackBoxFields &fields) {
    const bool quickTime = fields.fileType == MediaFileType::quickTimeMovie;
    MovieBox information = MovieBox::container(fourCharCode("minf"));
    if (quickTime) {
        information.children.push_back(timecodeMediaInformationHeader());
        information.children.push_back(
            MovieBox::leaf(fourCharCode("hdlr"), handler(fields.fileType, fourCharCode("dhlr"),
                                                         fourCharCode("url "), "DataHandler")));
    } else {
        information.children.push_back(
            MovieBox::leaf(fourCharCode("nmhd"), std::vector<uint8_t>(4, 0)));
    }
    information.children.push_back(dataInformation());
    information.children.push_back(sampleTable(fields));
    MovieBox media = MovieBox::container(
        fourCharCode("mdia"),
        {MovieBox::leaf(fourCharCode("mdhd"), mediaHeader(fields)),
         MovieBox::leaf(fourCharCode("hdlr"), handler(fields.fileType, fourCharCode("mhlr"),
                                                      fourCharCode("tmcd"), kHandlerName)),
         std::move(information)});
    MovieBox track = MovieBox::container(
        fourCharCode("trak"),
        {MovieBox::leaf(fourCharCode("tkhd"), trackHeader(fields)), std::move(media)});
    setChunkOffset(track, fields.chunkOffset);
    return track;
}

void setChunkOffset(MovieBox &track, uint64_t offset) {
    MovieBox *table =
        track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")});
    if (table == nullptr) {
        return;
    }
    for (MovieBox &box : table->children) {
        if (box.type == fourCharCode("stco") || box.type == fourCharCode("co64")) {
            box.payload.clear();
            BigEndianWriter writer(box.payload);
            writer.u32(0).u32(1);
            if (offset <= kMax32) {
                box.type = fourCharCode("stco");
                writer.u32(static_cast<uint32_t>(offset));
            } else {
                box.type = fourCharCode("co64");
                writer.u64(offset);
            }
            return;
        }
    }
}

} // namespace timecode
