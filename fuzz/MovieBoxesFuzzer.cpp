// Feeds arbitrary files to the QuickTime box reader that both the timecode reader and the
// timecode writer stand on. Reading may only fail with MovieFormatError; what reads must write
// back to the same boxes; and the writer's edits (a timecode track added, the others dropped)
// must leave a movie box that reads again, holding just that timecode track, referenced by
// every video track. Media data moved behind the movie box and back leaves the box as it was.
//
// Each input is also saved as a file with a timecode track added, as the tool does: a save
// that fails leaves the file byte for byte; one that succeeds leaves a file whose movie box
// reads with one timecode track more, and that libavformat still opens if it opened it before.

#include "timecode/av/LibavInput.h"
#include "timecode/av/MediaFormatDescription.h"
#include "timecode/av/MovieByteSource.h"
#include "timecode/av/MovieEditing.h"
#include "timecode/av/MovieFormatError.h"
#include "timecode/av/MovieHeader.h"
#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/MutableMovie.h"
#include "timecode/av/TimecodeTrackBox.h"

extern "C" {
#include <libavutil/log.h>
}

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <span>
#include <string>
#include <system_error>

using namespace timecode;

namespace {

MovieBox reread(const MovieBox &movie) {
    const std::vector<uint8_t> written = movie.serialized();
    return MovieBox::parse(movie.type, std::span(written).subspan(8));
}

void checkEdits(const MovieBox &movie) {
    uint32_t nextTrackID = 0;
    uint32_t timescale = 600;
    if (const MovieBox *header = movie.child(fourCharCode("mvhd"))) {
        const MovieHeader parsed = MovieHeader::parse(header->payload);
        if (MovieHeader::parse(parsed.payload()).payload() != parsed.payload()) {
            std::abort();
        }
        nextTrackID = parsed.nextTrackID;
        timescale = std::max<uint32_t>(parsed.timescale, 1);
    }
    MediaFormatDescription description;
    description.mediaType = MediaType::timecode;
    description.mediaSubType = timeCode32MediaSubType;
    description.frameDuration = MediaTime(1001, 30000);
    description.frameQuanta = 30;
    description.timeCodeFlags = TimecodeFormatFlag::dropFrame;
    TimecodeTrackBoxFields fields;
    fields.trackID = unusedTrackID(movie, nextTrackID);
    fields.sampleEntry = timecodeSampleEntry(description);
    fields.sampleSize = 4;
    fields.mediaTimescale = 30000;
    fields.sampleDuration = 30030;
    fields.trackDuration = timescale;
    fields.chunkOffset = uint64_t{1} << 33;

    MovieBox edited = movie;
    const std::vector<uint32_t> old = timecodeTrackIDs(edited);
    insertTrack(edited, timecodeTrackBox(fields));
    addTimecodeReferences(edited, fields.trackID);
    std::set<uint32_t> retired(old.begin(), old.end());
    retired.erase(fields.trackID);
    removeTimecodeTracks(edited, retired);

    const MovieBox again = reread(edited);
    if (timecodeTrackIDs(again) != std::vector<uint32_t>{fields.trackID}) {
        std::abort();
    }
    for (const MovieTrackRecord &record : movieTrackRecords(again)) {
        if (record.trackID == fields.trackID &&
            mediaFormatDescription(record.sampleEntries.at(0), MediaType::timecode) !=
                description) {
            std::abort();
        }
        if (record.handlerType != fourCharCode("vide")) {
            continue;
        }
        const auto references = std::find_if(record.references.begin(), record.references.end(),
                                             [](const MovieTrackReference &reference) {
                                                 return reference.type == fourCharCode("tmcd");
                                             });
        if (references == record.references.end() ||
            std::find(references->trackIDs.begin(), references->trackIDs.end(), fields.trackID) ==
                references->trackIDs.end()) {
            std::abort();
        }
    }
}

// Moves the media behind the movie box by `shift` bytes and back again.
void checkMovedMedia(const MovieStructure &structure, int64_t shift) {
    const uint64_t start = structure.movieBox().offset;
    const uint64_t end = start + structure.movieBox().size;
    MovieBox moved = structure.movie;
    if (moveMediaData(moved, start, end, shift, {})) {
        if (!(moved == structure.movie)) {
            std::abort();
        }
        return;
    }
    if (!(reread(moved) == moved)) {
        std::abort();
    }
    // Nothing lies between the box and the moved media, so moving back finds every offset.
    if (moveMediaData(moved, start, static_cast<uint64_t>(static_cast<int64_t>(end) + shift),
                      -shift, {}) ||
        !(moved == structure.movie)) {
        std::abort();
    }
}

std::string fileBytes(const std::filesystem::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A private folder of this process, removed at its exit.
struct ScratchFolder {
    ScratchFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "fuzz_movie_boxes.XXXXXX");
        if (::mkdtemp(name.data()) == nullptr) {
            std::abort();
        }
        path = name;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::filesystem::path path;
};

// The input as a movie file in the private folder, saved with a timecode track.
void checkSave(const uint8_t *data, size_t size) {
    static const ScratchFolder folder;
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)quiet;
    const std::filesystem::path file = folder.path / "movie.mov";
    const std::string input(reinterpret_cast<const char *>(data), size);
    std::filesystem::remove(file);
    std::ofstream(file, std::ios::binary) << input;
    const bool demuxable = LibavInput::opens(file);

    std::optional<MutableMovie> movie;
    size_t timecodeTracks = 0;
    try {
        movie.emplace(MutableMovie::open(file));
        timecodeTracks = timecodeTrackIDs(MovieStructure::read(FileByteSource(file)).movie).size();
        const TimecodeFrameRate rate = TimecodeFrameRate::fps25;
        movie->addTimecodeTrack(
            Timecode(FormattedTimecodeSourceValue::string("01:00:00:00"), rate,
                     Timecode::SubFramesBase::max100SubFrames, Timecode::UpperLimit::max24Hours),
            Timecode(FormattedTimecodeSourceValue::string("00:00:01:00"), rate,
                     Timecode::SubFramesBase::max100SubFrames, Timecode::UpperLimit::max24Hours),
            std::nullopt, movie->fileType());
        movie->save();
    } catch (const std::exception &) {
        if (fileBytes(file) != input) {
            std::abort();
        }
        return;
    }
    const MovieStructure saved = MovieStructure::read(FileByteSource(file));
    if (timecodeTrackIDs(saved.movie).size() != timecodeTracks + 1 ||
        (demuxable && !LibavInput::opens(file))) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    checkSave(data, size);
    try {
        const MovieStructure structure = MovieStructure::read(MemoryByteSource({data, size}));
        const std::vector<MovieTrackRecord> records = movieTrackRecords(structure.movie);
        for (const MovieTrackRecord &record : records) {
            for (const MovieSampleEntry &entry : record.sampleEntries) {
                mediaFormatDescription(entry, MediaType::timecode);
            }
        }
        if (!(reread(structure.movie) == structure.movie)) {
            std::abort();
        }
        checkEdits(structure.movie);
        for (const int64_t shift : {int64_t{0}, int64_t{1} << 12, int64_t{1} << 32}) {
            checkMovedMedia(structure, shift);
        }
    } catch (const MovieFormatError &) {
    }
    return 0;
}
