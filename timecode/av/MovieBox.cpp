#include "timecode/av/MovieBox.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MovieFormatError.h"

#include <limits>

namespace timecode {

bool isContainerBoxType(FourCharCode type) {
    switch (type) {
    case fourCharCode("moov"):
    case fourCharCode("trak"):
    case fourCharCode("mdia"):
    case fourCharCode("minf"):
    case fourCharCode("stbl"):
    case fourCharCode("tref"):
    case fourCharCode("edts"):
    case fourCharCode("dinf"):
        return true;
    default:
        return false;
    }
}

bool readMovieBoxHeader(std::span<const uint8_t> bytes, MovieBoxHeader &header) {
    if (bytes.size() < 8) {
        return false;
    }
    BigEndianReader reader(bytes, "box header");
    const uint32_t size32 = reader.u32();
    header.type = reader.fourCC();
    header.headerSize = 8;
    header.size = size32;
    if (size32 == 1) {
        if (bytes.size() < 16) {
            return false;
        }
        header.size = reader.u64();
        header.headerSize = 16;
    }
    if (header.size != 0 && header.size < header.headerSize) {
        throw MovieFormatError("box '" + fourCharCodeText(header.type) +
                               "' smaller than its header");
    }
    return true;
}

std::optional<MovieBoxInBytes> movieBoxAtFront(std::span<const uint8_t> bytes) {
    MovieBoxHeader header{};
    if (!readMovieBoxHeader(bytes, header)) {
        return std::nullopt;
    }
    const uint64_t size = header.size == 0 ? bytes.size() : header.size;
    if (size > bytes.size()) {
        return MovieBoxInBytes{header.type, size, false, {}};
    }
    return MovieBoxInBytes{header.type, size, true,
                           bytes.subspan(header.headerSize, size - header.headerSize)};
}

MovieBox MovieBox::leaf(FourCharCode type, std::vector<uint8_t> payload) {
    MovieBox box;
    box.type = type;
    box.payload = std::move(payload);
    return box;
}

MovieBox MovieBox::container(FourCharCode type, std::vector<MovieBox> children) {
    MovieBox box;
    box.type = type;
    box.isContainer = true;
    box.children = std::move(children);
    return box;
}

MovieBox MovieBox::parse(FourCharCode type, std::span<const uint8_t> payload) {
    return parse(type, payload, 0);
}

MovieBox MovieBox::parse(FourCharCode type, std::span<const uint8_t> payload, int depth) {
    if (!isContainerBoxType(type)) {
        return leaf(type, std::vector<uint8_t>(payload.begin(), payload.end()));
    }
    if (depth >= kMaxDepth) {
        throw MovieFormatError("boxes nested too deeply");
    }
    MovieBox box = container(type);
    size_t offset = 0;
    while (const auto next = movieBoxAtFront(payload.subspan(offset))) {
        if (!next->fits) {
            throw MovieFormatError("box '" + fourCharCodeText(next->type) + "' runs past '" +
                                   fourCharCodeText(type) + "'");
        }
        box.children.push_back(parse(next->type, next->payload, depth + 1));
        offset += next->size;
    }
    box.trailing.assign(payload.begin() + static_cast<std::ptrdiff_t>(offset), payload.end());
    return box;
}

MovieBox *MovieBox::child(FourCharCode childType) {
    for (MovieBox &box : children) {
        if (box.type == childType) {
            return &box;
        }
    }
    return nullptr;
}

const MovieBox *MovieBox::child(FourCharCode childType) const {
    return const_cast<MovieBox *>(this)->child(childType);
}

MovieBox *MovieBox::find(std::initializer_list<FourCharCode> path) {
    MovieBox *box = this;
    for (FourCharCode step : path) {
        box = box->child(step);
        if (box == nullptr) {
            return nullptr;
        }
    }
    return box;
}

const MovieBox *MovieBox::find(std::initializer_list<FourCharCode> path) const {
    return const_cast<MovieBox *>(this)->find(path);
}

uint64_t MovieBox::size() const {
    uint64_t content = 0;
    if (isContainer) {
        for (const MovieBox &box : children) {
            content += box.size();
        }
        content += trailing.size();
    } else {
        content = payload.size();
    }
    return content + 8 <= std::numeric_limits<uint32_t>::max() ? content + 8 : content + 16;
}

void MovieBox::serialize(std::vector<uint8_t> &out) const {
    const uint64_t total = size();
    BigEndianWriter writer(out);
    if (total <= std::numeric_limits<uint32_t>::max()) {
        writer.u32(static_cast<uint32_t>(total)).fourCC(type);
    } else {
        writer.u32(1).fourCC(type).u64(total);
    }
    if (isContainer) {
        for (const MovieBox &box : children) {
            box.serialize(out);
        }
        writer.bytes(trailing);
    } else {
        writer.bytes(payload);
    }
}

std::vector<uint8_t> MovieBox::serialized() const {
    std::vector<uint8_t> out;
    out.reserve(static_cast<size_t>(size()));
    serialize(out);
    return out;
}

} // namespace timecode
