#pragma once

#include "timecode/av/FourCharCode.h"
#include "timecode/av/MovieBox.h"
#include "timecode/av/MovieByteSource.h"

#include <cstdint>
#include <vector>

namespace timecode {

// A box at the top level of a movie file.
struct TopLevelBox {
    FourCharCode type;
    uint64_t offset;
    uint64_t size;
    uint32_t headerSize;
};

// The layout of a QuickTime or MPEG-4 file as the reader and the writer see it: the top-level
// boxes and the parsed movie box. Only headers and the movie box are read.
struct MovieStructure {
    // Complete top-level boxes in file order.
    std::vector<TopLevelBox> boxes;
    // The movie box in use: the first one, as demuxers take it.
    size_t movieBoxIndex = 0;
    uint64_t fileSize = 0;
    // The file ends inside a box, or with bytes too few for a header.
    bool endsInsideBox = false;
    // The last box declares no size and so runs to the end of the file.
    bool lastBoxRunsToEnd = false;
    // The file type box's major brand; 0 without one.
    FourCharCode majorBrand = 0;
    MovieBox movie;

    // Throws MovieFormatError when there is no movie box, the movie box is damaged or larger
    // than kMaxMovieBoxSize, or the file has more than kMaxTopLevelBoxes boxes.
    static MovieStructure read(const MovieByteSource &source);
    static constexpr uint64_t kMaxMovieBoxSize = uint64_t{1} << 30;
    static constexpr size_t kMaxTopLevelBoxes = size_t{1} << 20;

    const TopLevelBox &movieBox() const { return boxes[movieBoxIndex]; }
    // Movie fragments follow (or are announced by) the movie box.
    bool isFragmented() const;
    // The movie box in use comes before the first media data box, so that a player can start
    // while the rest of the file is still arriving.
    bool isFastStart() const;
};

} // namespace timecode
