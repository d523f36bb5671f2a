// Writing timecode tracks into movies made by ffmpeg, read back by our reader and by ffprobe.

#include "timecode/av/ErrorName.h"
#include "timecode/av/MediaAsset.h"
#include "timecode/av/MediaWriteError.h"
#include "timecode/av/MovieEditing.h"
#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/MutableMovie.h"
#include "timecode/av/tests/MediaFixtures.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>

#include <fstream>
#include <functional>
#include <system_error>

namespace timecode {
namespace {

using namespace timecode::test;
namespace fs = std::filesystem;

constexpr Base kBase = Base::max100SubFrames;

Timecode tc(const std::string &text, R rate, Limit limit = Limit::max24Hours) {
    return Timecode(FormattedTimecodeSourceValue::string(text), rate, kBase, limit);
}

std::string failure(const std::function<void()> &function) {
    try {
        function();
        return "no error";
    } catch (...) {
        return errorName(std::current_exception());
    }
}

std::string timecodesOf(const fs::path &file, std::optional<R> at = std::nullopt) {
    std::string lines;
    for (const auto &track : MediaAsset::open(file)->timecodes(at, kBase, Limit::max24Hours)) {
        for (const Timecode &timecode : track) {
            lines.append(timecode.stringValue()).push_back(' ');
        }
        lines.push_back('|');
    }
    return lines;
}

const nlohmann::json &videoStream(const nlohmann::json &streams) {
    for (const auto &stream : streams) {
        if (stream.at("codec_type") == "video") {
            return stream;
        }
    }
    throw std::runtime_error("no video stream");
}

// The 'tmcd' references of each video track, in order.
std::vector<std::vector<uint32_t>> videoTimecodeReferences(const fs::path &file) {
    std::vector<std::vector<uint32_t>> references;
    for (const MovieTrackRecord &record : movieTrackRecords(movieBoxOf(file))) {
        if (record.handlerType != fourCharCode("vide")) {
            continue;
        }
        references.emplace_back();
        for (const MovieTrackReference &reference : record.references) {
            if (reference.type == fourCharCode("tmcd")) {
                references.back() = reference.trackIDs;
            }
        }
    }
    return references;
}

struct WriteCase {
    const char *name;
    Timecode start;
    std::optional<FormatDescriptionExtensions> extensions;
    std::string sample;
    MediaTime frameDuration;
    uint32_t quanta;
    uint32_t flags;
    const char *videoTimecodeTag;
};

TEST(MutableMovie, WritesTheTrackReadersExpect) {
    Timecode withSubFrames = tc("01:00:00:00", R::fps25);
    withSubFrames.setSubFrames(50);
    const WriteCase cases[] = {
        {"25 fps", tc("01:00:00:00", R::fps25), std::nullopt, std::string("\x00\x01\x5F\x90", 4),
         MediaTime(100, 2500), 25, 0x2, "01:00:00:00"},
        {"29.97 drop", tc("00:00:00;00", R::fps29_97d), std::nullopt, std::string(4, '\0'),
         MediaTime(1001, 30000), 30, 0x3, "00:00:00;00"},
        {"100 days", tc("01:00:00:00", R::fps25, Limit::max100Days), std::nullopt,
         std::string("\x00\x01\x5F\x90", 4), MediaTime(100, 2500), 25, 0x0, "01:00:00:00"},
        {"sub-frames ignored", withSubFrames, std::nullopt, std::string("\x00\x01\x5F\x90", 4),
         MediaTime(100, 2500), 25, 0x2, "01:00:00:00"},
        {"source reference name", tc("00:59:59:24", R::fps25),
         FormatDescriptionExtensions{
             {std::string(FormatDescriptionExtensionKey::sourceReferenceName),
              std::string("A001")}},
         std::string("\x00\x01\x5F\x8F", 4), MediaTime(100, 2500), 25, 0x2, "00:59:59:24"},
    };
    for (const WriteCase &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const fs::path file = copyInto(folder, fixtures::noTimecode25());
        const uint64_t originalSize = fs::file_size(file);
        MutableMovie movie = MutableMovie::open(file);
        const MediaTrack added = movie.addTimecodeTrack(c.start, tc("00:00:02:00", R::fps25),
                                                        c.extensions, movie.fileType());
        movie.save();

        // The sample sits in a media data box right after the old end of the file.
        const std::string bytes = fileBytes(file);
        EXPECT_EQ(bytes.substr(originalSize + 4, 8), "mdat" + c.sample);

        const auto asset = MediaAsset::open(file);
        const std::vector<MediaTrack> timecode = asset->tracks(MediaType::timecode);
        ASSERT_EQ(timecode.size(), 1u);
        EXPECT_EQ(timecode[0].trackID(), added.trackID());
        const MediaFormatDescription &description = timecode[0].formatDescriptions().at(0);
        EXPECT_EQ(description, added.formatDescriptions().at(0));
        EXPECT_EQ(description.mediaSubType, timeCode32MediaSubType);
        EXPECT_TRUE(description.frameDuration.value == c.frameDuration.value &&
                    description.frameDuration.timescale == c.frameDuration.timescale)
            << description.frameDuration.value << "/" << description.frameDuration.timescale;
        EXPECT_EQ(description.frameQuanta, c.quanta);
        EXPECT_EQ(description.timeCodeFlags, c.flags);
        EXPECT_EQ(description.extensions, c.extensions.value_or(FormatDescriptionExtensions{}));
        EXPECT_EQ(timecode[0].timeRange().duration, MediaTime(2, 1));
        EXPECT_EQ(videoTimecodeReferences(file),
                  (std::vector<std::vector<uint32_t>>{{added.trackID()}}));

        const nlohmann::json streams = probedStreams(file);
        EXPECT_EQ(streams.size(), 2u);
        EXPECT_EQ(videoStream(streams).at("tags").value("timecode", ""), c.videoTimecodeTag);
        if (c.extensions) {
            EXPECT_EQ(streams.at(1).at("tags").value("reel_name", ""), "A001");
        }
    }
}

TEST(MutableMovie, AddKeepsTimecodeTracksAndReplaceDropsThem) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    MutableMovie movie = MutableMovie::open(file);
    const uint32_t first = movie
                               .addTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt,
                                                 std::nullopt, movie.fileType())
                               .trackID();
    movie.save();
    EXPECT_EQ(timecodesOf(file), "10:00:00:00 |01:00:00:00 |");
    EXPECT_EQ(videoTimecodeReferences(file), (std::vector<std::vector<uint32_t>>{{2, first}}));
    // Demuxers take the first reference.
    EXPECT_EQ(videoStream(probedStreams(file)).at("tags").value("timecode", ""), "10:00:00:00");

    // The same movie again, saved a second time.
    const uint32_t second = movie
                                .replaceTimecodeTrack(tc("02:00:00:00", R::fps25), std::nullopt,
                                                      std::nullopt, movie.fileType())
                                .trackID();
    movie.save();
    EXPECT_EQ(timecodesOf(file), "02:00:00:00 |");
    EXPECT_EQ(videoTimecodeReferences(file), (std::vector<std::vector<uint32_t>>{{second}}));
    const nlohmann::json streams = probedStreams(file);
    EXPECT_EQ(streams.size(), 2u);
    EXPECT_EQ(videoStream(streams).at("tags").value("timecode", ""), "02:00:00:00");
    EXPECT_EQ(MutableMovie::open(file).tracks().size(), 2u);
}

TEST(MutableMovie, MpegFourFiles) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::mpeg4Timecode25());
    MutableMovie movie = MutableMovie::open(file);
    ASSERT_EQ(movie.fileType(), MediaFileType::mpeg4);
    movie.replaceTimecodeTrack(tc("00:00:10:00", R::fps25), std::nullopt, std::nullopt,
                               movie.fileType());
    movie.save();
    EXPECT_EQ(timecodesOf(file), "00:00:10:00 |");
    EXPECT_EQ(videoStream(probedStreams(file)).at("tags").value("timecode", ""), "00:00:10:00");
    // The MPEG-4 handler: no component type, the name ends with a zero byte.
    const MovieBox box = movieBoxOf(file);
    const auto ids = timecodeTrackIDs(box);
    ASSERT_EQ(ids.size(), 1u);
    for (const MovieBox &track : box.children) {
        if (track.type == fourCharCode("trak") && movieTrackID(track) == ids[0]) {
            const std::vector<uint8_t> &handler =
                track.find({fourCharCode("mdia"), fourCharCode("hdlr")})->payload;
            EXPECT_EQ(std::vector<uint8_t>(handler.begin() + 4, handler.begin() + 8),
                      std::vector<uint8_t>(4, 0));
            EXPECT_EQ(handler.back(), 0);
            EXPECT_EQ(
                track.find({fourCharCode("mdia"), fourCharCode("minf"), fourCharCode("gmhd")}),
                nullptr);
        }
    }
}

TEST(MutableMovie, MovieWithoutVideo) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::audioOnly());
    const std::string original = fileBytes(file);
    MutableMovie movie = MutableMovie::open(file);
    // Without a duration the track would last the movie at the movie's rate, which it has not.
    EXPECT_EQ(failure([&] {
                  movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                                         movie.fileType());
              }),
              "missingOrNonStandardFrameRate");
    EXPECT_FALSE(movie.hasChanges());
    movie.save();
    EXPECT_EQ(fileBytes(file), original);

    // Replacing converts the movie's duration at the start's rate instead.
    const MediaTrack track = movie.replaceTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt,
                                                        std::nullopt, movie.fileType());
    EXPECT_EQ(track.timeRange().duration, MediaTime(1, 1));
    movie.save();
    for (const MovieTrackRecord &record : movieTrackRecords(movieBoxOf(file))) {
        EXPECT_TRUE(record.references.empty()) << record.trackID;
    }
    // The timecode description now gives the movie its rate.
    const auto asset = MediaAsset::open(file);
    EXPECT_EQ(asset->timecodeFrameRate(), R::fps25);
    EXPECT_EQ(timecodesOf(file), "01:00:00:00 |");
    EXPECT_EQ(asset->tracks(MediaType::timecode).at(0).timeRange().duration, MediaTime(1, 1));
}

TEST(MutableMovie, AFailedReplaceKeepsTheOldTrack) {
    // The movie lasts 25 hours, more than a 24-hour timecode can count.
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::dayLong());
    MutableMovie movie = MutableMovie::open(file);
    movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), tc("00:00:10:00", R::fps25), std::nullopt,
                           movie.fileType());
    movie.save();
    const std::string saved = fileBytes(file);

    EXPECT_EQ(failure([&] {
                  movie.replaceTimecodeTrack(tc("02:00:00:00", R::fps25), std::nullopt,
                                             std::nullopt, movie.fileType());
              }),
              "outOfBounds");
    EXPECT_FALSE(movie.hasChanges());
    EXPECT_EQ(timecodeTrackIDs(movieBoxOf(file)).size(), 1u);
    EXPECT_EQ(movie.tracks().size(), 2u);
    movie.save();
    EXPECT_EQ(fileBytes(file), saved);
    EXPECT_EQ(timecodesOf(file, R::fps25), "01:00:00:00 |");
}

TEST(MutableMovie, StartsBeyondThirtyTwoBitsAreRefusedBeforeAnyChange) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    MutableMovie movie = MutableMovie::open(file);
    for (const Components &components :
         {Components{0, -1, 0, 0, 0, 0}, Components{0, 50000, 0, 0, 0, 0}}) {
        const Timecode start(TimecodeSourceValue::components(components), R::fps25, kBase,
                             Limit::max24Hours, Rule::allowingInvalid);
        for (bool replacing : {false, true}) {
            EXPECT_EQ(failure([&] {
                          if (replacing) {
                              movie.replaceTimecodeTrack(start, std::nullopt, std::nullopt,
                                                         movie.fileType());
                          } else {
                              movie.addTimecodeTrack(start, std::nullopt, std::nullopt,
                                                     movie.fileType());
                          }
                      }),
                      "outOfBounds");
        }
    }
    EXPECT_FALSE(movie.hasChanges());
    EXPECT_EQ(movie.tracks().size(), 2u);
}

// Fails the n-th write, truncation or flush, and passes every other call on to the file. A
// writer that dies fails every call from the n-th on, as when the machine stops there.
class FailingWriter final : public MovieFileWriter {
public:
    FailingWriter(const fs::path &file, int failing, bool dies = false)
        : file_(file), failing_(failing), dies_(dies) {}
    uint64_t size() override { return file_.size(); }
    void write(uint64_t offset, std::span<const uint8_t> bytes) override {
        step();
        // A write that fails part way leaves what it got through.
        file_.write(offset, bytes.first(bytes.size() / 2));
        file_.write(offset, bytes);
    }
    void truncate(uint64_t size) override {
        step();
        file_.truncate(size);
    }
    void synchronize() override {
        step();
        file_.synchronize();
    }
    int calls() const { return calls_; }

private:
    void step() {
        ++calls_;
        if (calls_ == failing_ || (dies_ && failing_ > 0 && calls_ > failing_)) {
            throw std::system_error(std::make_error_code(std::errc::no_space_on_device));
        }
    }

    FileMovieWriter file_;
    int failing_;
    bool dies_;
    int calls_ = 0;
};

// Fails each of the steps of saving in turn, each failure leaving the file byte for byte and
// the changes unsaved; then saves, in just those steps.
void expectEachFailedStepUndone(MutableMovie &movie, const fs::path &file, int steps) {
    const std::string before = fileBytes(file);
    for (int failing = 1; failing <= steps; ++failing) {
        SCOPED_TRACE(failing);
        FailingWriter writer(file, failing);
        EXPECT_THROW(movie.save(writer), std::system_error);
        EXPECT_TRUE(fileBytes(file) == before);
        EXPECT_TRUE(movie.hasChanges());
    }
    FailingWriter counting(file, 0);
    movie.save(counting);
    EXPECT_EQ(counting.calls(), steps);
}

TEST(MutableMovie, AFailedSaveLeavesTheFileByteForByte) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    MutableMovie movie = MutableMovie::open(file);
    movie.replaceTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                               movie.fileType());
    // Appending the media data, appending the movie box, flushing, retiring the old movie box,
    // flushing: each in turn fails.
    expectEachFailedStepUndone(movie, file, 5);
    EXPECT_EQ(timecodesOf(file), "01:00:00:00 |");
}

TEST(MutableMovie, TheNextSaveOutranksOneCutShort) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    // The machine stops once the new movie box is on disk, before the old one is retired: the
    // file still reads as before, with a complete movie box left over at its end.
    MutableMovie cutShort = MutableMovie::open(file);
    cutShort.replaceTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                                  cutShort.fileType());
    FailingWriter dying(file, 4, true);
    EXPECT_THROW(cutShort.save(dying), std::system_error);
    EXPECT_EQ(timecodesOf(file), "10:00:00:00 |");
    const auto movieBoxes = [&] {
        size_t count = 0;
        for (const TopLevelBox &box : MovieStructure::read(FileByteSource(file)).boxes) {
            count += box.type == fourCharCode("moov") ? 1 : 0;
        }
        return count;
    };
    ASSERT_EQ(movieBoxes(), 2u);

    MutableMovie movie = MutableMovie::open(file);
    movie.replaceTimecodeTrack(tc("02:00:00:00", R::fps25), std::nullopt, std::nullopt,
                               movie.fileType());
    // Appending the media data and the movie box, flushing, retiring the leftover movie box,
    // then the one in use, flushing: a failure at any step puts every box back.
    expectEachFailedStepUndone(movie, file, 6);
    EXPECT_EQ(movieBoxes(), 1u);
    EXPECT_EQ(timecodesOf(file), "02:00:00:00 |");
    EXPECT_EQ(videoStream(probedStreams(file)).at("tags").value("timecode", ""), "02:00:00:00");
}

// Passes everything on to the file, but writes the new movie box under another type, as a
// disk that loses what it was given would: every write succeeds, and what is on disk reads as
// no movie.
class LosingWriter final : public MovieFileWriter {
public:
    explicit LosingWriter(const fs::path &file) : file_(file) {}
    uint64_t size() override { return file_.size(); }
    void write(uint64_t offset, std::span<const uint8_t> bytes) override {
        std::vector<uint8_t> written(bytes.begin(), bytes.end());
        if (written.size() > 8 && std::equal(written.begin() + 4, written.begin() + 8, "moov")) {
            written[7] = 'x';
        }
        file_.write(offset, written);
    }
    void truncate(uint64_t size) override { file_.truncate(size); }
    void synchronize() override { file_.synchronize(); }

private:
    FileMovieWriter file_;
};

TEST(MutableMovie, ASaveThatDoesNotReadBackIsUndone) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    const std::string before = fileBytes(file);
    MutableMovie movie = MutableMovie::open(file);
    movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                           movie.fileType());
    LosingWriter losing(file);
    const std::string failed = errorText([&] { movie.save(losing); });
    EXPECT_NE(failed.find("the saved movie did not read back (no movie box), so it was put back "
                          "as it was"),
              std::string::npos)
        << failed;
    EXPECT_TRUE(fileBytes(file) == before);
    EXPECT_TRUE(movie.hasChanges());
    movie.save();
    EXPECT_EQ(timecodesOf(file), "10:00:00:00 |01:00:00:00 |");
}

// The top-level box types of the file, in order.
std::vector<std::string> topLevelTypes(const fs::path &file) {
    std::vector<std::string> types;
    for (const TopLevelBox &box : MovieStructure::read(FileByteSource(file)).boxes) {
        types.push_back(fourCharCodeText(box.type));
    }
    return types;
}

std::vector<fs::path> folderEntries(const fs::path &folder) {
    std::vector<fs::path> entries;
    for (const auto &entry : fs::directory_iterator(folder)) {
        entries.push_back(entry.path().filename());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

TEST(MutableMovie, FastStartMoviesStayFastStart) {
    for (const fs::path &fixture : {fixtures::fastStart25(), fixtures::mpeg4FastStart25()}) {
        SCOPED_TRACE(fixture.filename().string());
        ScratchFolder folder;
        const fs::path file = copyInto(folder, fixture);
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        const std::string streams = packetDigests(file);
        MutableMovie movie = MutableMovie::open(file);
        ASSERT_TRUE(movie.isFastStart());
        movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                               movie.fileType());
        movie.save();
        EXPECT_TRUE(movie.isFastStart());
        EXPECT_EQ(movie.fastStartLost(), "");
        // The new movie box where the old one was, the new sample right after it, then the
        // media as it was.
        const std::vector<std::string> types = topLevelTypes(file);
        ASSERT_GE(types.size(), 4u);
        EXPECT_EQ(std::vector<std::string>(types.begin(), types.begin() + 3),
                  (std::vector<std::string>{"ftyp", "moov", "mdat"}));
        EXPECT_TRUE(MovieStructure::read(FileByteSource(file)).isFastStart());
        EXPECT_EQ(timecodesOf(file), "10:00:00:00 |01:00:00:00 |");
        EXPECT_EQ(packetDigests(file), streams);
        EXPECT_EQ(fs::status(file).permissions(),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_EQ(folderEntries(folder.path()), std::vector<fs::path>{file.filename()});

        // Again, replacing both tracks, from the movie as saved.
        movie.replaceTimecodeTrack(tc("02:00:00:00", R::fps25), std::nullopt, std::nullopt,
                                   movie.fileType());
        movie.save();
        EXPECT_TRUE(MovieStructure::read(FileByteSource(file)).isFastStart());
        EXPECT_EQ(timecodesOf(file), "02:00:00:00 |");
        EXPECT_EQ(videoStream(probedStreams(file)).at("tags").value("timecode", ""), "02:00:00:00");
        EXPECT_EQ(packetDigests(file), streams);
        EXPECT_EQ(MutableMovie::open(file).tracks().size(), 2u);
    }
}

TEST(MutableMovie, AFastStartMovieThatCannotBeWrittenAnewIsSavedInPlaceAndSaysWhy) {
    struct Case {
        const char *name;
        // Makes the file one that cannot be written anew.
        std::function<void(const fs::path &file)> prepare;
        const char *reason;
    };
    const Case cases[] = {
        {"another name",
         [](const fs::path &file) { fs::create_hard_link(file, file.string() + ".link"); },
         "hard links"},
        {"samples in another file",
         [](const fs::path &file) {
             // Every data reference loses its self-contained flag.
             std::string bytes = fileBytes(file);
             for (size_t at = bytes.find("dref"); at != std::string::npos;
                  at = bytes.find("dref", at + 1)) {
                 bytes.at(at + 4 + 8 + 8 + 3) = 0;
             }
             std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
         },
         "samples kept in another file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchFolder folder;
        const fs::path file = copyInto(folder, fixtures::fastStart25());
        c.prepare(file);
        const std::string before = fileBytes(file);
        MutableMovie movie = MutableMovie::open(file);
        ASSERT_TRUE(movie.isFastStart());
        movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), tc("00:00:02:00", R::fps25),
                               std::nullopt, movie.fileType());
        movie.save();
        EXPECT_FALSE(movie.isFastStart());
        EXPECT_NE(movie.fastStartLost().find(c.reason), std::string::npos) << movie.fastStartLost();
        // Saved in place: every byte before stays, but for the retired movie box.
        const std::string after = fileBytes(file);
        ASSERT_GT(after.size(), before.size());
        const size_t movieBox = before.find("moov");
        EXPECT_EQ(after.substr(0, movieBox) + "moov" +
                      after.substr(movieBox + 4, before.size() - movieBox - 4),
                  before);
        EXPECT_EQ(topLevelTypes(file).back(), "moov");
        EXPECT_EQ(movieTrackRecords(movieBoxOf(file)).size(), 3u);
    }
}

TEST(MutableMovie, AFailedFastStartSaveLeavesTheFileAndNoCopy) {
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::fastStart25());
    const std::string before = fileBytes(file);
    MutableMovie movie = MutableMovie::open(file);
    movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                           movie.fileType());
    // No file of this process may grow beyond half the movie: the copy fails part way.
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit halved{before.size() / 2, limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &halved), 0);
    const std::string failed = errorText([&] { movie.save(); });
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_NE(failed.find("File too large"), std::string::npos) << failed;
    EXPECT_TRUE(movie.hasChanges());
    EXPECT_TRUE(fileBytes(file) == before);
    EXPECT_EQ(folderEntries(folder.path()), std::vector<fs::path>{file.filename()});
    movie.save();
    EXPECT_TRUE(movie.isFastStart());
    EXPECT_EQ(timecodesOf(file), "10:00:00:00 |01:00:00:00 |");
}

TEST(MutableMovie, RefusesTracksThatShareAnID) {
    // A damaged movie whose timecode track carries the video track's ID: replacing the timecode
    // track by its ID would take the video with it.
    ScratchFolder folder;
    const fs::path file = copyInto(folder, fixtures::timecode25());
    rewriteMovieBox(file, [](MovieBox &movie) {
        for (MovieBox &track : movie.children) {
            if (track.type == fourCharCode("trak") &&
                movieTrackHandlerType(track) == fourCharCode("tmcd")) {
                std::vector<uint8_t> &header = track.child(fourCharCode("tkhd"))->payload;
                ASSERT_EQ(header.at(0), 0);
                header.at(15) = 1;
            }
        }
    });
    ASSERT_EQ(timecodeTrackIDs(movieBoxOf(file)), std::vector<uint32_t>{1});
    const std::string damaged = fileBytes(file);
    EXPECT_EQ(failure([&] { MutableMovie::open(file); }), "internalError");
    const std::string refusal = errorText([&] { MutableMovie::open(file); });
    EXPECT_NE(refusal.find(file.string() + ": two tracks share ID 1"), std::string::npos)
        << refusal;
    EXPECT_TRUE(fileBytes(file) == damaged);
}

TEST(MutableMovie, OpensOnlyMoviesItCanEditInPlace) {
    ScratchFolder folder;
    const fs::path notes = folder / "notes.mov";
    std::ofstream(notes) << "not a movie";
    // A movie whose last box declares no size would swallow what is appended.
    const fs::path open = copyInto(folder, fixtures::timecode25());
    std::string bytes = fileBytes(open);
    const size_t movieBox = bytes.rfind("moov") - 4;
    bytes.replace(movieBox, 4, std::string(4, '\0'));
    std::ofstream(open, std::ios::binary | std::ios::trunc) << bytes;
    // A movie cut short.
    const fs::path cut = folder / "cut.mov";
    std::ofstream(cut, std::ios::binary) << fileBytes(fixtures::timecode25()).substr(0, 7000);

    // A FIFO or a device named like a movie is refused, never waited on.
    const fs::path pipe = folder / "pipe.mov";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const fs::path device = folder / "device.mov";
    fs::create_symlink("/dev/zero", device);

    for (const fs::path &path : {fixtures::fragmented(), notes, open, cut, pipe, device}) {
        EXPECT_EQ(failure([&] { MutableMovie::open(path); }), "internalError") << path;
    }
    EXPECT_THROW(MutableMovie::open(folder / "absent.mov"), std::system_error);

    // Nor is one saved into when it takes the movie's place after it was opened.
    const fs::path replaced = copyInto(folder, fixtures::noTimecode25());
    MutableMovie movie = MutableMovie::open(replaced);
    movie.addTimecodeTrack(tc("01:00:00:00", R::fps25), std::nullopt, std::nullopt,
                           movie.fileType());
    fs::remove(replaced);
    ASSERT_EQ(::mkfifo(replaced.c_str(), 0600), 0);
    EXPECT_EQ(failure([&] { movie.save(); }), "internalError");
    const std::string refusal = errorText([&] { movie.save(); });
    EXPECT_NE(refusal.find(replaced.string() + ": not a regular file"), std::string::npos)
        << refusal;
    EXPECT_TRUE(movie.hasChanges());
}

} // namespace
} // namespace timecode
