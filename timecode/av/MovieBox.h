#pragma once

#include "timecode/av/FourCharCode.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace timecode {

// One box of a QuickTime or MPEG-4 file, shared by the reader and the writer. The boxes that
// lead to tracks, their media and sample tables are containers whose children are parsed; every
// other box is kept as its payload bytes, untouched, so a movie box written back holds
// everything the original held. Sizes are not stored: writing computes them (a box whose size
// needs 64 bits gets the large-size header).
struct MovieBox {
    FourCharCode type = 0;
    bool isContainer = false;
    // A leaf's content after its header (a 'uuid' box's user type leads it).
    std::vector<uint8_t> payload;
    // A container's boxes, and the bytes after them that are too few for another header
    // (QuickTime writers pad some containers with a zero terminator).
    std::vector<MovieBox> children;
    std::vector<uint8_t> trailing;

    static MovieBox leaf(FourCharCode type, std::vector<uint8_t> payload);
    static MovieBox container(FourCharCode type, std::vector<MovieBox> children = {});

    // The box of this type whose payload is given. Containers nest at most kMaxDepth deep.
    // Throws MovieFormatError for a child that runs past its container, a size below its
    // header, or nesting beyond the limit.
    static MovieBox parse(FourCharCode type, std::span<const uint8_t> payload);
    static constexpr int kMaxDepth = 16;

    // The first child of the type, or null.
    MovieBox *child(FourCharCode childType);
    const MovieBox *child(FourCharCode childType) const;
    // Follows first children along the path of types.
    const MovieBox *find(std::initializer_list<FourCharCode> path) const;
    MovieBox *find(std::initializer_list<FourCharCode> path);

    // The written size, header included.
    uint64_t size() const;
    void serialize(std::vector<uint8_t> &out) const;
    std::vector<uint8_t> serialized() const;

    friend bool operator==(const MovieBox &, const MovieBox &) = default;

private:
    static MovieBox parse(FourCharCode type, std::span<const uint8_t> payload, int depth);
};

// The box types whose payload is a sequence of boxes.
bool isContainerBoxType(FourCharCode type);

// A box header read from bytes: its type, the header length (8, 16 with a large size; a 'uuid'
// box's user type stays in the payload) and the whole size, or 0 for "to the end of the
// enclosing space".
struct MovieBoxHeader {
    FourCharCode type;
    uint32_t headerSize;
    uint64_t size;
};

// The header at the front of the bytes, or nothing when fewer bytes than a header remain.
// Throws MovieFormatError for a declared size below the header length.
bool readMovieBoxHeader(std::span<const uint8_t> bytes, MovieBoxHeader &header);

// The box at the front of a run of boxes in memory: its type, its whole size (a declared size
// of 0 runs to the end of the bytes) and, when it ends within the bytes, its payload.
struct MovieBoxInBytes {
    FourCharCode type;
    uint64_t size;
    bool fits;
    std::span<const uint8_t> payload;
};

// The box at the front of the bytes, or nothing when fewer bytes than a header remain. Throws
// MovieFormatError like readMovieBoxHeader; a box that runs past the bytes is the caller's to
// refuse or pass over (`fits` is false, the payload empty).
std::optional<MovieBoxInBytes> movieBoxAtFront(std::span<const uint8_t> bytes);

} // namespace timecode
