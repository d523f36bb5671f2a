// The QuickTime box reader and writer on bytes built in memory, damaged ones included.

#include "timecode/av/BigEndian.h"
#include "timecode/av/MovieEditing.h"
#include "timecode/av/MovieFormatError.h"
#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTime.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/tests/MediaFixtures.h"

#include <gtest/gtest.h>

#include <limits>

namespace timecode {
namespace {

using namespace timecode::test;
using Bytes = std::vector<uint8_t>;

Bytes u32s(std::initializer_list<uint32_t> values) {
    Bytes bytes;
    BigEndianWriter writer(bytes);
    for (uint32_t value : values) {
        writer.u32(value);
    }
    return bytes;
}

Bytes joined(std::initializer_list<Bytes> pieces) {
    Bytes bytes;
    for (const Bytes &piece : pieces) {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    }
    return bytes;
}

// A box with the payload; `size` overrides the size field.
Bytes box(const char (&type)[5], const Bytes &payload, std::optional<uint32_t> size = {}) {
    Bytes bytes = u32s({size.value_or(static_cast<uint32_t>(payload.size() + 8))});
    bytes.insert(bytes.end(), type, type + 4);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

Bytes trackHeader(uint32_t id) {
    return box("tkhd", joined({u32s({0, 0, 0, id}), Bytes(68, 0)}));
}

Bytes handler(const char (&type)[5]) {
    return box("hdlr", joined({u32s({0, 0}), Bytes(type, type + 4), Bytes(13, 0)}));
}

Bytes track(uint32_t id, const char (&handlerType)[5], const Bytes &sampleTable = {},
            const Bytes &references = {}) {
    return box("trak", joined({trackHeader(id), references,
                               box("mdia", joined({handler(handlerType),
                                                   box("minf", box("stbl", sampleTable))}))}));
}

Bytes movie(const Bytes &content) {
    return joined({box("ftyp", Bytes{'q', 't', ' ', ' ', 0, 0, 0, 0}), box("moov", content)});
}

MovieStructure read(const Bytes &file) {
    return MovieStructure::read(MemoryByteSource(file));
}

std::string readError(const Bytes &file) {
    try {
        movieTrackRecords(read(file).movie);
        return "read";
    } catch (const MovieFormatError &error) {
        return error.what();
    }
}

TEST(MovieBoxes, WritesBackWhatItRead) {
    for (const auto &file : {fixtures::timecode25(), fixtures::interlaced25(),
                             fixtures::mpeg4Timecode25(), fixtures::fragmented()}) {
        const std::string bytes = fileBytes(file);
        const MovieStructure structure = MovieStructure::read(
            MemoryByteSource({reinterpret_cast<const uint8_t *>(bytes.data()), bytes.size()}));
        const TopLevelBox &movieBox = structure.movieBox();
        const Bytes written = structure.movie.serialized();
        EXPECT_EQ(std::string(written.begin(), written.end()),
                  bytes.substr(movieBox.offset, movieBox.size))
            << file;
    }
}

TEST(MovieBoxes, DamagedFiles) {
    const Bytes tracks = track(1, "vide");
    const Bytes deep = [] {
        Bytes nested = box("trak", {});
        for (int i = 0; i < MovieBox::kMaxDepth; ++i) {
            nested = box("trak", nested);
        }
        return movie(nested);
    }();
    const struct {
        const char *name;
        Bytes file;
        const char *error;
    } cases[] = {
        {"well formed", movie(tracks), "read"},
        {"no movie box", box("mdat", Bytes(8, 0)), "no movie box"},
        {"a child past its container", movie(box("trak", trackHeader(1), 20)),
         "box 'tkhd' runs past 'trak'"},
        {"a size below the header", movie(box("trak", box("tkhd", {}, 4))),
         "box 'tkhd' smaller than its header"},
        {"nested too deeply", deep, "boxes nested too deeply"},
        {"a short track header", movie(box("trak", box("tkhd", Bytes(10, 0)))),
         "truncated track header"},
        {"a track without a header", movie(box("trak", {})), "track without a track header"},
        {"more descriptions than the table holds",
         movie(track(1, "tmcd", box("stsd", u32s({0, 2, 12, 0x746D6364, 0})))),
         "truncated sample descriptions"},
        {"a description past its table",
         movie(track(1, "tmcd", box("stsd", u32s({0, 1, 40, 0x746D6364})))),
         "sample description runs past its table"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(readError(c.file), c.error) << c.name;
    }
}

TEST(MovieBoxes, StoredTimesBecomeMediaTimesOnlyWhenTheyFit) {
    constexpr uint64_t int64Max = std::numeric_limits<int64_t>::max();
    constexpr uint32_t int32Max = std::numeric_limits<int32_t>::max();
    const struct {
        uint64_t value;
        uint32_t timescale;
        bool valid;
    } cases[] = {
        {2400, 600, true},          {int64Max, int32Max, true},
        {int64Max + 1, 600, false}, {2400, int32Max + 1u, false},
        {2400, 0, false},
    };
    for (const auto &c : cases) {
        const MediaTime time = movieFileTime(c.value, c.timescale);
        EXPECT_EQ(time.isValid(), c.valid) << c.value << "/" << c.timescale;
        if (c.valid) {
            EXPECT_EQ(time.value, static_cast<int64_t>(c.value));
            EXPECT_EQ(time.timescale, static_cast<int32_t>(c.timescale));
        }
    }
}

TEST(MovieBoxes, TopLevelLayout) {
    // A large-size media data box, the movie, then bytes too few for a header.
    const Bytes large = joined({u32s({1, 0x6D646174, 0, 24}), Bytes(8, 0)});
    Bytes file = joined({large, movie(track(7, "soun")), Bytes{1, 2, 3}});
    MovieStructure structure = read(file);
    ASSERT_EQ(structure.boxes.size(), 3u);
    EXPECT_EQ(structure.boxes[0].headerSize, 16u);
    EXPECT_EQ(structure.boxes[0].size, 24u);
    EXPECT_EQ(structure.majorBrand, fourCharCode("qt  "));
    EXPECT_EQ(structure.movieBoxIndex, 2u);
    EXPECT_TRUE(structure.endsInsideBox);
    EXPECT_FALSE(structure.lastBoxRunsToEnd);
    EXPECT_FALSE(structure.isFragmented());
    EXPECT_EQ(movieTrackRecords(structure.movie).at(0).trackID, 7u);

    // A size of 0 runs to the end; a second movie box is not the one in use.
    file = joined(
        {movie(track(1, "vide")), box("moov", track(2, "vide")), box("mdat", Bytes(3, 0), 0)});
    structure = read(file);
    EXPECT_TRUE(structure.lastBoxRunsToEnd);
    EXPECT_FALSE(structure.endsInsideBox);
    EXPECT_EQ(structure.movieBoxIndex, 1u);
    EXPECT_EQ(structure.boxes.back().size, 11u);
    EXPECT_EQ(movieTrackRecords(structure.movie).at(0).trackID, 1u);

    // Padding after a container's last box survives writing.
    const Bytes padded = movie(joined({track(1, "vide"), Bytes(4, 0)}));
    EXPECT_EQ(read(padded).movie.serialized(), Bytes(padded.begin() + 16, padded.end()));
}

TEST(MovieBoxes, EditingReferencesAndTrackIDs) {
    // Video 1 refers to timecode tracks 2 and 3 and chapters in 3; video 4 only to 3.
    const Bytes references12 =
        box("tref", joined({box("tmcd", u32s({2, 3})), box("chap", u32s({3}))}));
    const Bytes references4 = box("tref", box("tmcd", u32s({3})));
    MovieBox movieBox = read(movie(joined({track(1, "vide", {}, references12), track(2, "tmcd"),
                                           track(3, "tmcd"), track(4, "vide", {}, references4)})))
                            .movie;
    EXPECT_EQ(timecodeTrackIDs(movieBox), (std::vector<uint32_t>{2, 3}));
    // Only timecode tracks go: video 4 stays though its ID is named.
    removeTimecodeTracks(movieBox, {3, 4});
    const auto records = movieTrackRecords(movieBox);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].trackID, 4u);
    EXPECT_EQ(records[0].references,
              (std::vector<MovieTrackReference>{{fourCharCode("tmcd"), {2}}}));
    EXPECT_TRUE(records[2].references.empty());
    EXPECT_EQ(movieBox.children.back().child(fourCharCode("tref")), nullptr);

    addTimecodeReferences(movieBox, 5);
    EXPECT_EQ(movieTrackRecords(movieBox)[0].references[0].trackIDs, (std::vector<uint32_t>{2, 5}));
    EXPECT_EQ(movieTrackRecords(movieBox)[2].references,
              (std::vector<MovieTrackReference>{{fourCharCode("tmcd"), {5}}}));

    const struct {
        uint32_t proposed;
        uint32_t expected;
    } ids[] = {{9, 9}, {2, 5}, {0, 5}, {0xFFFFFFFF, 5}};
    for (const auto &c : ids) {
        EXPECT_EQ(unusedTrackID(movieBox, c.proposed), c.expected) << c.proposed;
    }
    const MovieBox crowded =
        read(movie(joined({track(2, "vide"), track(0xFFFFFFFE, "vide")}))).movie;
    EXPECT_EQ(unusedTrackID(crowded, 0), 1u);
}

// Chunk offsets of each track, in order.
std::vector<std::vector<uint64_t>> chunkOffsets(const MovieBox &movieBox) {
    std::vector<std::vector<uint64_t>> offsets;
    for (const MovieBox &trak : movieBox.children) {
        offsets.emplace_back();
        const MovieBox *table =
            trak.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")});
        for (const MovieBox &entry : table->children) {
            const bool wide = entry.type == fourCharCode("co64");
            BigEndianReader reader(entry.payload, "offsets");
            reader.skip(4);
            for (uint32_t n = reader.u32(); n > 0; --n) {
                offsets.back().push_back(wide ? reader.u64() : reader.u32());
            }
        }
    }
    return offsets;
}

Bytes dataReferences(uint32_t flags) {
    return box("dinf", box("dref", joined({u32s({0, 1}), box("url ", u32s({flags}))})));
}

// A track whose media information holds the data references and the sample table.
Bytes trackWithData(uint32_t id, const Bytes &references, const Bytes &sampleTable) {
    return box(
        "trak",
        joined(
            {trackHeader(id),
             box("mdia", joined({handler("vide"),
                                 box("minf", joined({references, box("stbl", sampleTable)}))}))}));
}

TEST(MovieBoxes, MovingMediaDataMovesTheChunkOffsetsBehindTheMovedBytes) {
    const Bytes wide = box("co64", joined({u32s({0, 2, 0, 300}), u32s({2, 0})}));
    const MovieBox original =
        read(movie(joined(
                 {trackWithData(1, dataReferences(1), box("stco", u32s({0, 3, 10, 100, 200}))),
                  track(2, "soun", wide), track(3, "tmcd", box("stco", u32s({0, 1, 999})))})))
            .movie;
    MovieBox moved = original;
    EXPECT_EQ(moveMediaData(moved, 50, 100, 40, {3}), std::nullopt);
    EXPECT_EQ(chunkOffsets(moved), (std::vector<std::vector<uint64_t>>{
                                       {10, 140, 240}, {340, (uint64_t{2} << 32) + 40}, {999}}));
    moved = original;
    EXPECT_EQ(moveMediaData(moved, 0, 10, -10, {}), std::nullopt);
    EXPECT_EQ(chunkOffsets(moved), (std::vector<std::vector<uint64_t>>{
                                       {0, 90, 190}, {290, (uint64_t{2} << 32) - 10}, {989}}));

    // What cannot be followed leaves the movie as it was.
    const struct {
        const char *name;
        Bytes movie;
        int64_t shift;
        const char *reason;
    } refused[] = {
        {"a chunk among the moved bytes", track(1, "vide", box("stco", u32s({0, 1, 60}))), 8,
         "a chunk within the movie box"},
        {"beyond 32 bits", track(1, "vide", box("stco", u32s({0, 1, 0xFFFFFFF0}))), 16, "32 bits"},
        {"before the file", track(1, "vide", box("stco", u32s({0, 1, 100}))), -101, "32 bits"},
        {"another file", trackWithData(1, dataReferences(0), box("stco", u32s({0, 1, 100}))), 8,
         "samples kept in another file"},
        {"auxiliary offsets", track(1, "vide", box("saio", u32s({0, 1, 100}))), 8, "'saio'"},
        {"item locations", joined({track(1, "vide"), box("meta", box("iloc", u32s({0})))}), 8,
         "'iloc'"},
        {"truncated table", track(1, "vide", box("stco", u32s({0, 5, 100}))), 8, "truncated"},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.name);
        const MovieBox before = read(movie(c.movie)).movie;
        MovieBox after = before;
        const std::optional<std::string> reason = moveMediaData(after, 50, 100, c.shift, {});
        ASSERT_TRUE(reason.has_value());
        EXPECT_NE(reason->find(c.reason), std::string::npos) << *reason;
        EXPECT_EQ(after, before);
    }
}

} // namespace
} // namespace timecode
