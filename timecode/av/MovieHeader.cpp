#include "timecode/av/MovieHeader.h"

#include "timecode/av/BigEndian.h"

#include <limits>

namespace timecode {

namespace {

constexpr size_t kBodySize = 76;

} // namespace

MovieHeader MovieHeader::parse(std::span<const uint8_t> payload) {
    BigEndianReader reader(payload, "movie header");
    const bool wide = (reader.u32() >> 24) == 1;
    MovieHeader header;
    header.creationTime = wide ? reader.u64() : reader.u32();
    header.modificationTime = wide ? reader.u64() : reader.u32();
    header.timescale = reader.u32();
    header.duration = wide ? reader.u64() : reader.u32();
    const auto body = reader.bytes(kBodySize);
    header.body.assign(body.begin(), body.end());
    header.nextTrackID = reader.u32();
    const auto tail = reader.rest();
    header.tail.assign(tail.begin(), tail.end());
    return header;
}

std::vector<uint8_t> MovieHeader::payload() const {
    constexpr uint64_t max32 = std::numeric_limits<uint32_t>::max();
    const bool wide = creationTime > max32 || modificationTime > max32 || duration > max32;
    std::vector<uint8_t> out;
    BigEndianWriter writer(out);
    writer.u32(wide ? 0x01000000 : 0);
    if (wide) {
        writer.u64(creationTime).u64(modificationTime).u32(timescale).u64(duration);
    } else {
        writer.u32(static_cast<uint32_t>(creationTime))
            .u32(static_cast<uint32_t>(modificationTime))
            .u32(timescale)
            .u32(static_cast<uint32_t>(duration));
    }
    writer.bytes(body).u32(nextTrackID).bytes(tail);
    return out;
}

} // namespace timecode
