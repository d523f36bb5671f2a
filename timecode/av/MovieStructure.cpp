#include "timecode/av/MovieStructure.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/MovieFormatError.h"

#include <array>
#include <optional>

namespace timecode {

MovieStructure MovieStructure::read(const MovieByteSource &source) {
    MovieStructure structure;
    structure.fileSize = source.size();
    std::optional<size_t> movieIndex;
    uint64_t offset = 0;
    while (offset < structure.fileSize) {
        if (structure.boxes.size() >= kMaxTopLevelBoxes) {
            throw MovieFormatError("too many top-level boxes");
        }
        std::array<uint8_t, 16> headerBytes{};
        const uint64_t left = structure.fileSize - offset;
        const auto headerSpan = std::span(headerBytes).first(left < 16 ? size_t(left) : 16);
        source.read(offset, headerSpan);
        MovieBoxHeader header{};
        if (!readMovieBoxHeader(headerSpan, header)) {
            structure.endsInsideBox = true;
            break;
        }
        uint64_t size = header.size;
        if (size == 0) {
            size = left;
            structure.lastBoxRunsToEnd = true;
        }
        if (size > left || size < header.headerSize) {
            structure.endsInsideBox = true;
            break;
        }
        structure.boxes.push_back({header.type, offset, size, header.headerSize});
        if (header.type == fourCharCode("moov") && !movieIndex) {
            movieIndex = structure.boxes.size() - 1;
        }
        if (header.type == fourCharCode("ftyp") && structure.majorBrand == 0 &&
            size >= header.headerSize + 4) {
            std::array<uint8_t, 4> brand{};
            source.read(offset + header.headerSize, brand);
            structure.majorBrand = BigEndianReader(brand, "file type").fourCC();
        }
        offset += size;
    }
    if (!movieIndex) {
        throw MovieFormatError("no movie box");
    }
    structure.movieBoxIndex = *movieIndex;
    const TopLevelBox &movie = structure.movieBox();
    const uint64_t payloadSize = movie.size - movie.headerSize;
    if (payloadSize > kMaxMovieBoxSize) {
        throw MovieFormatError("movie box too large");
    }
    std::vector<uint8_t> payload(static_cast<size_t>(payloadSize));
    source.read(movie.offset + movie.headerSize, payload);
    structure.movie = MovieBox::parse(movie.type, payload);
    return structure;
}

bool MovieStructure::isFragmented() const {
    if (movie.child(fourCharCode("mvex")) != nullptr) {
        return true;
    }
    for (const TopLevelBox &box : boxes) {
        if (box.type == fourCharCode("moof")) {
            return true;
        }
    }
    return false;
}

bool MovieStructure::isFastStart() const {
    for (size_t i = 0; i < boxes.size(); ++i) {
        if (boxes[i].type == fourCharCode("mdat")) {
            return movieBoxIndex < i;
        }
    }
    return false;
}

} // namespace timecode
