// Reading rates and timecodes of movies made by ffmpeg (and by our writer where ffmpeg cannot).

#include "timecode/av/BigEndian.h"
#include "timecode/av/ErrorName.h"
#include "timecode/av/MediaAsset.h"
#include "timecode/av/MediaParseError.h"
#include "timecode/av/MovieEditing.h"
#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/MutableMovie.h"
#include "timecode/av/TimecodeTrackBox.h"
#include "timecode/av/tests/MediaFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace timecode {
namespace {

using namespace timecode::test;
namespace fs = std::filesystem;

constexpr Base kBase = Base::max100SubFrames;
constexpr Limit kLimit = Limit::max24Hours;

// The text of what the function answers, or the name of its error.
std::string outcome(const std::function<std::string()> &function) {
    try {
        return function();
    } catch (...) {
        return errorName(std::current_exception());
    }
}

std::string text(const std::optional<Timecode> &timecode) {
    return timecode ? timecode->stringValue() : "none";
}

// One line per track, the track's timecodes joined by spaces.
std::string text(const std::vector<std::vector<Timecode>> &tracks) {
    std::string lines;
    for (const auto &track : tracks) {
        for (const Timecode &timecode : track) {
            lines.append(timecode.stringValue()).push_back(' ');
        }
        lines.push_back('|');
    }
    return lines;
}

struct AssetCase {
    const char *name;
    fs::path (*fixture)();
    std::optional<R> at;
    const char *timecodeRate;
    bool drop;
    const char *videoRate;
    bool interlaced;
    const char *timecodes;
    const char *start;
    const char *end;
    const char *duration;
};

TEST(MediaAsset, RatesAndTimecodesOfMovies) {
    const std::string missing = "missingOrNonStandardFrameRate";
    const AssetCase cases[] = {
        {"25 fps with timecode",
         fixtures::timecode25,
         {},
         "25",
         false,
         "25p",
         false,
         "10:00:00:00 |",
         "10:00:00:00",
         "10:00:02:00",
         "00:00:02:00"},
        {"MPEG-4 file",
         fixtures::mpeg4Timecode25,
         {},
         "25",
         false,
         "25p",
         false,
         "10:00:00:00 |",
         "10:00:00:00",
         "10:00:02:00",
         "00:00:02:00"},
        {"29.97 drop-frame timecode",
         fixtures::timecode2997Drop,
         {},
         "29.97d",
         true,
         "29.97p",
         false,
         "00:00:00;00 |",
         "00:00:00;00",
         "00:00:02;00",
         "00:00:02;00"},
        // No timecode track: no timecodes, but a rate from the video and a duration.
        {"no timecode track",
         fixtures::noTimecode25,
         {},
         "25",
         false,
         "25p",
         false,
         "",
         "none",
         "none",
         "00:00:02:00"},
        {"interlaced",
         fixtures::interlaced25,
         {},
         "25",
         false,
         "25i",
         true,
         "",
         "none",
         "none",
         "00:00:01:00"},
        // Nothing to take a rate from: every operation that needs one fails.
        {"sound alone",
         fixtures::audioOnly,
         {},
         missing.c_str(),
         false,
         missing.c_str(),
         false,
         missing.c_str(),
         missing.c_str(),
         missing.c_str(),
         missing.c_str()},
        // ... unless the rate is given.
        {"sound alone at 25", fixtures::audioOnly, R::fps25, missing.c_str(), false,
         missing.c_str(), false, "", "none", "none", "00:00:01:00"},
        // The end lies past midnight and wraps.
        {"starting 23:59:00:00",
         fixtures::nearMidnight25,
         {},
         "25",
         false,
         "25p",
         false,
         "23:59:00:00 |",
         "23:59:00:00",
         "00:01:00:00",
         "00:02:00:00"},
    };
    for (const AssetCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto asset = MediaAsset::open(c.fixture());
        EXPECT_EQ(outcome([&] { return std::string(asset->timecodeFrameRate().rawValue()); }),
                  c.timecodeRate);
        EXPECT_EQ(asset->isTimecodeFrameRateDropFrame(), c.drop);
        EXPECT_EQ(outcome([&] { return std::string(asset->videoFrameRate().rawValue()); }),
                  c.videoRate);
        EXPECT_EQ(asset->isVideoInterlaced(), c.interlaced);
        EXPECT_EQ(outcome([&] { return text(asset->timecodes(c.at, kBase, kLimit)); }),
                  c.timecodes);
        EXPECT_EQ(outcome([&] { return text(asset->startTimecode(c.at, kBase, kLimit)); }),
                  c.start);
        EXPECT_EQ(outcome([&] { return text(asset->endTimecode(c.at, kBase, kLimit)); }), c.end);
        EXPECT_EQ(
            outcome([&] { return asset->durationTimecode(c.at, kBase, kLimit).stringValue(); }),
            c.duration);
    }
}

TEST(MediaAsset, DropHintsOverrideTheTimecodeTrack) {
    const auto drop = MediaAsset::open(fixtures::timecode2997Drop());
    EXPECT_EQ(drop->timecodeFrameRate(false), R::fps29_97);
    EXPECT_EQ(drop->timecodeFrameRate(true), R::fps29_97d);
    EXPECT_EQ(text(drop->startTimecode(R::fps29_97, kBase, kLimit)), "00:00:00:00");
    // 25 fps has no drop-frame form anywhere along the search.
    const auto whole = MediaAsset::open(fixtures::timecode25());
    EXPECT_EQ(outcome([&] { return std::string(whole->timecodeFrameRate(true).rawValue()); }),
              "missingOrNonStandardFrameRate");
    EXPECT_EQ(whole->videoFrameRate(true), VideoFrameRate::fps25i);
}

TEST(MediaAsset, TracksCarryDurationsExactly) {
    const auto asset = MediaAsset::open(fixtures::timecode2997Drop());
    EXPECT_EQ(asset->duration(), MediaTime(2002, 1000));
    const std::vector<MediaTrack> video = asset->tracks(MediaType::video);
    ASSERT_EQ(video.size(), 1u);
    EXPECT_EQ(video[0].minFrameDuration(), MediaTime(1001, 30000));
    EXPECT_EQ(asset->readNominalVideoFrameRates(), std::vector<float>{30000.0f / 1001.0f});
    const std::vector<MediaTrack> timecode = asset->tracks(MediaType::timecode);
    ASSERT_EQ(timecode.size(), 1u);
    ASSERT_EQ(timecode[0].formatDescriptions().size(), 1u);
    const MediaFormatDescription &description = timecode[0].formatDescriptions()[0];
    EXPECT_EQ(description.mediaSubType, timeCode32MediaSubType);
    EXPECT_EQ(description.timeCodeFlags & TimecodeFormatFlag::dropFrame, 1u);
    EXPECT_EQ(description.frameQuanta, 30u);
    EXPECT_EQ(timecode[0].readTimecodeSamples(*asset), std::vector<CMTimeCode>{CMTimeCode32{0}});

    const auto sound = MediaAsset::open(fixtures::audioOnly());
    EXPECT_TRUE(sound->readNominalVideoFrameRates().empty());
    EXPECT_EQ(sound->duration(), MediaTime(1000, 1000));
}

TEST(MediaAsset, TrackRangesAsTimecodes) {
    const auto asset = MediaAsset::open(fixtures::timecode25());
    const MediaTrack video = asset->tracks(MediaType::video).at(0);
    const ClosedRange<Timecode> range = video.timecodeRange(std::nullopt, kLimit, kBase);
    EXPECT_EQ(range.lower.stringValue(), "00:00:00:00");
    EXPECT_EQ(range.upper.stringValue(), "00:00:02:00");
    EXPECT_EQ(video.durationTimecode(R::fps50, kLimit, kBase).stringValue(), "00:00:02:00");
    EXPECT_EQ(video.durationTimecode(std::nullopt, kLimit, kBase).frameRate(), R::fps25);

    // A track outlives its asset: without one it needs to be given the rate.
    MediaTrack orphan = video;
    {
        const auto other = MediaAsset::open(fixtures::timecode25());
        orphan = other->tracks(MediaType::video).at(0);
    }
    EXPECT_EQ(orphan.asset(), nullptr);
    EXPECT_EQ(
        outcome([&] { return orphan.durationTimecode(std::nullopt, kLimit, kBase).stringValue(); }),
        "missingOrNonStandardFrameRate");
    EXPECT_EQ(orphan.durationTimecode(R::fps25, kLimit, kBase).stringValue(), "00:00:02:00");
}

TEST(MediaAsset, InterlacedFixtureHasTwoFields) {
    // The fixture is what the interlaced case claims: its sample description has a 'fiel' box
    // of two fields.
    const auto records = movieTrackRecords(movieBoxOf(fixtures::interlaced25()));
    const auto video = std::find_if(records.begin(), records.end(), [](const auto &record) {
        return record.handlerType == fourCharCode("vide");
    });
    ASSERT_NE(video, records.end());
    const std::vector<uint8_t> &entry = video->sampleEntries.at(0).payload;
    const std::string fiel = "fiel";
    const auto found = std::search(entry.begin(), entry.end(), fiel.begin(), fiel.end());
    ASSERT_NE(found, entry.end());
    EXPECT_EQ(*(found + 4), 2);

    const auto asset = MediaAsset::open(fixtures::interlaced25());
    const MediaTrack track = asset->tracks(MediaType::video).at(0);
    EXPECT_TRUE(track.isVideoInterlaced());
    EXPECT_EQ(track.formatDescriptions().at(0).integerExtension(
                  FormatDescriptionExtensionKey::fieldCount),
              2);
    EXPECT_EQ(MediaAsset::open(fixtures::timecode25())
                  ->tracks(MediaType::video)
                  .at(0)
                  .formatDescriptions()
                  .at(0)
                  .integerExtension(FormatDescriptionExtensionKey::fieldCount),
              std::nullopt);
}

TEST(MediaAsset, EveryDescriptionOfEveryTimecodeTrackCounts) {
    // A non-drop timecode track first, then a drop-frame one written by us: the asset drops.
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode2997());
    MutableMovie movie = MutableMovie::open(file);
    movie.addTimecodeTrack(
        Timecode(TimecodeSourceValue::components(0, 1, 0, 0, 0), R::fps29_97d, kBase, kLimit),
        std::nullopt, std::nullopt, movie.fileType());
    movie.save();
    const auto asset = MediaAsset::open(file);
    EXPECT_TRUE(asset->isTimecodeFrameRateDropFrame());
    EXPECT_EQ(asset->timecodeFrameRate(), R::fps29_97d);
    // Each track still counts at its own rate.
    EXPECT_EQ(text(asset->timecodes(std::nullopt, kBase, kLimit)), "00:00:00:00 |01:00:00;00 |");
}

TEST(MediaAsset, EachTimecodeTrackReadsAtItsOwnRate) {
    // A 25 fps timecode track of ours beside the 29.97 drop-frame one of a 29.97 movie: its
    // frame 90000 is 01:00:00:00 at 25, whatever the video's rate.
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode2997Drop());
    const Timecode start(TimecodeSourceValue::components(0, 1, 0, 0, 0), R::fps25, kBase, kLimit);
    const Timecode length(TimecodeSourceValue::components(0, 0, 0, 2, 0), R::fps25, kBase, kLimit);
    MutableMovie movie = MutableMovie::open(file);
    movie.addTimecodeTrack(start, length, std::nullopt, movie.fileType());
    movie.save();
    const auto both = MediaAsset::open(file);
    EXPECT_EQ(both->timecodeFrameRate(), R::fps29_97d);
    EXPECT_EQ(text(both->timecodes(std::nullopt, kBase, kLimit)), "00:00:00;00 |01:00:00:00 |");
    // A rate given is the rate of every track.
    EXPECT_EQ(text(both->timecodes(R::fps25, kBase, kLimit)), "00:00:00:00 |01:00:00:00 |");

    // With the 25 fps track alone, the start and the end run at 25.
    movie.replaceTimecodeTrack(start, length, std::nullopt, movie.fileType());
    movie.save();
    const auto alone = MediaAsset::open(file);
    const std::optional<Timecode> first = alone->startTimecode(std::nullopt, kBase, kLimit);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->frameRate(), R::fps25);
    EXPECT_EQ(first->stringValue(), "01:00:00:00");
    const std::optional<Timecode> end = alone->endTimecode(std::nullopt, kBase, kLimit);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->frameRate(), R::fps25);
    EXPECT_EQ(end->stringValue(), "01:00:02:00");
    EXPECT_EQ(text(alone->endTimecode(R::fps29_97, kBase, kLimit)), "00:50:02:00");
}

TEST(MediaAsset, SamplesThatShareTheirBytesAreBounded) {
    // The timecode track's table points 64 samples at the whole media data box: a small file
    // that names far more bytes than it holds.
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    const MovieStructure structure = MovieStructure::read(FileByteSource(file));
    const auto media =
        std::find_if(structure.boxes.begin(), structure.boxes.end(),
                     [](const TopLevelBox &box) { return box.type == fourCharCode("mdat"); });
    ASSERT_NE(media, structure.boxes.end());
    const uint32_t count = 64;
    rewriteMovieBox(file, [&](MovieBox &movie) {
        for (MovieBox &track : movie.children) {
            if (track.type != fourCharCode("trak") ||
                movieTrackHandlerType(track) != fourCharCode("tmcd")) {
                continue;
            }
            std::vector<uint8_t> timing, chunks, sizes, offsets;
            BigEndianWriter(timing).u32(0).u32(1).u32(count).u32(1);
            BigEndianWriter(chunks).u32(0).u32(1).u32(1).u32(1).u32(1);
            BigEndianWriter(sizes).u32(0).u32(static_cast<uint32_t>(media->size - 8)).u32(count);
            BigEndianWriter offsetWriter(offsets);
            offsetWriter.u32(0).u32(count);
            for (uint32_t i = 0; i < count; ++i) {
                offsetWriter.u32(static_cast<uint32_t>(media->offset + 8));
            }
            MovieBox &table =
                *track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")});
            table.children = {table.children.at(0), MovieBox::leaf(fourCharCode("stts"), timing),
                              MovieBox::leaf(fourCharCode("stsc"), chunks),
                              MovieBox::leaf(fourCharCode("stsz"), sizes),
                              MovieBox::leaf(fourCharCode("stco"), offsets)};
        }
    });
    const auto asset = MediaAsset::open(file);
    const MediaTrack timecode = asset->tracks(MediaType::timecode).at(0);
    try {
        timecode.readTimecodeSamples(*asset);
        ADD_FAILURE() << "read";
    } catch (const MediaParseError &error) {
        EXPECT_EQ(error.value(), MediaParseError::internalError);
        EXPECT_NE(std::string(error.what()).find("more bytes than the file"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(outcome([&] { return text(asset->startTimecode(std::nullopt, kBase, kLimit)); }),
              "internalError");
}

TEST(MediaAsset, SixtyFourBitTimecodeTracks) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    MutableMovie movie = MutableMovie::open(file);
    MediaFormatDescription description;
    description.mediaType = MediaType::timecode;
    description.mediaSubType = timeCode64MediaSubType;
    description.frameDuration = MediaTime(100, 2500);
    description.frameQuanta = 25;
    // Two values and a tail too short for a third.
    const std::vector<uint8_t> sample = {0, 1, 0, 2, 0, 3, 0, 4, 0, 23, 0, 59, 0, 59, 0, 24, 9, 9};
    movie.addTimecodeTrack(description, sample, MediaTime(2, 1), movie.fileType());
    movie.save();
    const auto asset = MediaAsset::open(file);
    const MediaTrack track = asset->tracks(MediaType::timecode).at(0);
    EXPECT_EQ(track.formatDescriptions().at(0).mediaSubType, timeCode64MediaSubType);
    EXPECT_EQ(track.readTimecodeSamples(*asset),
              (std::vector<CMTimeCode>{CMTimeCode64{0x0001000200030004},
                                       CMTimeCode64{0x0017003B003B0018}}));
    EXPECT_EQ(text(asset->timecodes(std::nullopt, kBase, kLimit)), "01:02:03:04 23:59:59:24 |");
}

TEST(MediaAsset, TracksOfTwoSampleFormats) {
    // A timecode track with a 32-bit description for its first chunk and a 64-bit one for its
    // second, built box by box and appended to a movie the way our writer appends. Both
    // descriptions are read; libavformat delivers the samples of the first format only.
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::noTimecode25());
    std::string bytes = fileBytes(file);
    const MovieStructure structure = MovieStructure::read(FileByteSource(file));
    MediaFormatDescription description;
    description.mediaType = MediaType::timecode;
    description.frameDuration = MediaTime(100, 2500);
    description.frameQuanta = 25;
    description.mediaSubType = timeCode32MediaSubType;
    const MovieSampleEntry entry32 = timecodeSampleEntry(description);
    description.mediaSubType = timeCode64MediaSubType;
    const MovieSampleEntry entry64 = timecodeSampleEntry(description);

    TimecodeTrackBoxFields fields;
    fields.trackID = 9;
    fields.sampleEntry = entry32;
    fields.mediaTimescale = 2500;
    fields.trackDuration = 2000;
    MovieBox track = timecodeTrackBox(fields);
    MovieBox &table =
        *track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("stbl")});
    const uint32_t media = static_cast<uint32_t>(bytes.size()) + 8;
    std::vector<uint8_t> descriptions, timing, chunks, sizes, offsets;
    BigEndianWriter(descriptions).u32(0).u32(2);
    MovieBox::leaf(entry32.type, entry32.payload).serialize(descriptions);
    MovieBox::leaf(entry64.type, entry64.payload).serialize(descriptions);
    BigEndianWriter(timing).u32(0).u32(1).u32(2).u32(2500);
    BigEndianWriter(chunks).u32(0).u32(2).u32(1).u32(1).u32(1).u32(2).u32(1).u32(2);
    BigEndianWriter(sizes).u32(0).u32(0).u32(2).u32(4).u32(8);
    BigEndianWriter(offsets).u32(0).u32(2).u32(media).u32(media + 4);
    table.children = {
        MovieBox::leaf(fourCharCode("stsd"), descriptions),
        MovieBox::leaf(fourCharCode("stts"), timing), MovieBox::leaf(fourCharCode("stsc"), chunks),
        MovieBox::leaf(fourCharCode("stsz"), sizes), MovieBox::leaf(fourCharCode("stco"), offsets)};
    MovieBox movie = structure.movie;
    insertTrack(movie, std::move(track));
    std::vector<uint8_t> appended;
    MovieBox::leaf(fourCharCode("mdat"), {0, 0, 0, 250, 0, 1, 0, 2, 0, 3, 0, 4})
        .serialize(appended);
    movie.serialize(appended);
    bytes.replace(structure.movieBox().offset + 4, 4, "free");
    bytes.append(appended.begin(), appended.end());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    const auto asset = MediaAsset::open(file);
    const MediaTrack timecode = asset->tracks(MediaType::timecode).at(0);
    ASSERT_EQ(timecode.formatDescriptions().size(), 2u);
    EXPECT_EQ(timecode.formatDescriptions()[1].mediaSubType, timeCode64MediaSubType);
    EXPECT_EQ(timecode.formatDescriptions()[1].frameQuanta, 25u);
    EXPECT_EQ(timecode.readTimecodeSamples(*asset), std::vector<CMTimeCode>{CMTimeCode32{250}});
    EXPECT_EQ(text(asset->timecodes(std::nullopt, kBase, kLimit)), "00:00:10:00 |");
}

TEST(MediaAsset, FilesThatAreNotMedia) {
    ScratchFolder folder;
    const fs::path notes = folder / "notes.mov";
    std::ofstream(notes) << "not a movie";
    // A FIFO or a device named like a movie is refused, never waited on.
    const fs::path pipe = folder / "pipe.mov";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const fs::path device = folder / "device.mov";
    fs::create_symlink("/dev/zero", device);
    for (const fs::path &path : {notes, folder / "absent.mov", pipe, device}) {
        EXPECT_EQ(outcome([&] { return MediaAsset::open(path)->path().string(); }), "internalError")
            << path;
    }
    const std::string refusal = errorText([&] { MediaAsset::open(pipe); });
    EXPECT_NE(refusal.find(pipe.string() + ": not a regular file"), std::string::npos) << refusal;
}

} // namespace
} // namespace timecode
