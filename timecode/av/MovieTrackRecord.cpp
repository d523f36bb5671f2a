#include "timecode/av/MovieTrackRecord.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MovieFormatError.h"

namespace timecode {

namespace {

constexpr uint32_t kTrackEnabled = 0x000001;

// Version and flags lead every full box.
uint8_t readVersion(BigEndianReader &reader) {
    const uint32_t versionAndFlags = reader.u32();
    return static_cast<uint8_t>(versionAndFlags >> 24);
}

uint32_t readTrackID(const MovieBox &header) {
    BigEndianReader reader(header.payload, "track header");
    if (readVersion(reader) == 1) {
        reader.skip(16);
    } else {
        reader.skip(8);
    }
    return reader.u32();
}

std::vector<MovieSampleEntry> readSampleEntries(const MovieBox &descriptions) {
    BigEndianReader reader(descriptions.payload, "sample descriptions");
    reader.skip(4);
    const uint32_t count = reader.u32();
    std::vector<MovieSampleEntry> entries;
    for (uint32_t i = 0; i < count; ++i) {
        const auto next =
            movieBoxAtFront(std::span(descriptions.payload).subspan(reader.position()));
        if (!next) {
            throw MovieFormatError("truncated sample descriptions");
        }
        if (!next->fits) {
            throw MovieFormatError("sample description runs past its table");
        }
        reader.skip(static_cast<size_t>(next->size));
        entries.push_back({next->type, {next->payload.begin(), next->payload.end()}});
    }
    return entries;
}

} // namespace

FourCharCode movieTrackHandlerType(const MovieBox &track) {
    const MovieBox *handler = track.find({fourCharCode("mdia"), fourCharCode("hdlr")});
    if (handler == nullptr) {
        return 0;
    }
    BigEndianReader reader(handler->payload, "handler");
    reader.skip(8);
    return reader.fourCC();
}

uint32_t movieTrackID(const MovieBox &track) {
    const MovieBox *header = track.child(fourCharCode("tkhd"));
    return header == nullptr ? 0 : readTrackID(*header);
}

MovieTrackRecord MovieTrackRecord::read(const MovieBox &track) {
    MovieTrackRecord record;
    const MovieBox *header = track.child(fourCharCode("tkhd"));
    if (header == nullptr) {
        throw MovieFormatError("track without a track header");
    }
    record.trackID = readTrackID(*header);
    record.enabled = (BigEndianReader(header->payload, "track header").u32() & kTrackEnabled) != 0;
    record.handlerType = movieTrackHandlerType(track);
    if (const MovieBox *mediaHeader = track.find({fourCharCode("mdia"), fourCharCode("mdhd")})) {
        BigEndianReader reader(mediaHeader->payload, "media header");
        const bool wide = readVersion(reader) == 1;
        reader.skip(wide ? 16 : 8);
        record.mediaTimescale = reader.u32();
        record.mediaDuration = wide ? reader.u64() : reader.u32();
    }
    if (const MovieBox *references = track.child(fourCharCode("tref"))) {
        for (const MovieBox &list : references->children) {
            BigEndianReader reader(list.payload, "track references");
            MovieTrackReference reference{list.type, {}};
            while (reader.remaining() >= 4) {
                reference.trackIDs.push_back(reader.u32());
            }
            record.references.push_back(std::move(reference));
        }
    }
    const MovieBox *sampleTable =
        track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")});
    if (sampleTable == nullptr) {
        return record;
    }
    if (const MovieBox *descriptions = sampleTable->child(fourCharCode("stsd"))) {
        record.sampleEntries = readSampleEntries(*descriptions);
    }
    return record;
}

std::vector<MovieTrackRecord> movieTrackRecords(const MovieBox &movie) {
    std::vector<MovieTrackRecord> records;
    for (const MovieBox &box : movie.children) {
        if (box.type == fourCharCode("trak")) {
            records.push_back(MovieTrackRecord::read(box));
        }
    }
    return records;
}

} // namespace timecode
