#include "timecode/av/MutableMovie.h"

#include "timecode/av/BigEndian.h"
#include "timecode/av/LibavInput.h"
#include "timecode/av/MediaAsset.h"
#include "timecode/av/MediaWriteError.h"
#include "timecode/av/MovieEditing.h"
#include "timecode/av/MovieFileReplacement.h"
#include "timecode/av/MovieFormatError.h"
#include "timecode/av/MovieTime.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/av/TimecodeTrackBox.h"
#include "timecode/core/NumericUtilities.h"

#include <array>
#include <limits>
#include <optional>
#include <set>

namespace timecode {

namespace {

constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();

MediaType mediaTypeOfHandler(FourCharCode handler) {
    switch (handler) {
    case fourCharCode("vide"):
        return MediaType::video;
    case fourCharCode("soun"):
        return MediaType::audio;
    case fourCharCode("tmcd"):
        return MediaType::timecode;
    default:
        return MediaType::other;
    }
}

// The time in units of the timescale: rounded to the nearest, or up.
Int128 inTimescale(const MediaTime &time, uint32_t timescale, bool roundingUp) {
    const Int128 scaled = static_cast<Int128>(time.value) * timescale;
    const Int128 divisor = time.timescale;
    return (scaled + (roundingUp ? divisor - 1 : divisor / 2)) / divisor;
}

MediaWriteError refusal(const std::string &why) {
    return MediaWriteError(MediaWriteError::internalError, why);
}

// Why the file does not hold the movie written, its movie box in use at `offset`, or does not
// open where it opened before; nothing when it does.
std::optional<std::string> readBackProblem(const std::filesystem::path &file, const MovieBox &movie,
                                           uint64_t offset, uint64_t size, bool mustDemux) {
    try {
        const MovieStructure written = MovieStructure::read(FileByteSource(file));
        if (!(written.movie == movie) || written.movieBox().offset != offset ||
            written.fileSize != size) {
            return "it does not hold the movie box written";
        }
    } catch (const MovieFormatError &error) {
        return std::string(error.what());
    }
    if (mustDemux && !LibavInput::opens(file)) {
        return "it no longer opens as media";
    }
    return std::nullopt;
}

} // namespace

MutableMovie MutableMovie::open(const std::filesystem::path &path) {
    MutableMovie movie;
    movie.path_ = path;
    try {
        movie.structure_ = MovieStructure::read(FileByteSource(path));
        // Every track must be readable before any is edited, and known by its ID alone: edits
        // find tracks by ID.
        std::set<uint32_t> trackIDs;
        for (const MovieTrackRecord &record : movieTrackRecords(movie.structure_.movie)) {
            if (!trackIDs.insert(record.trackID).second) {
                throw MovieFormatError("two tracks share ID " + std::to_string(record.trackID));
            }
        }
        // A save moves the movie box: tables that read past their boxes would read other
        // bytes there, and the movie would open nowhere.
        if (const auto problem = sampleTableProblem(movie.structure_.movie)) {
            throw MovieFormatError("its index is damaged: " + *problem);
        }
        const MovieBox *header = movie.structure_.movie.child(fourCharCode("mvhd"));
        if (header == nullptr) {
            throw MovieFormatError("no movie header");
        }
        movie.header_ = MovieHeader::parse(header->payload);
    } catch (const MovieFormatError &error) {
        throw refusal(path.string() + ": " + error.what());
    }
    if (movie.structure_.isFragmented()) {
        throw refusal(path.string() + ": a fragmented movie cannot be edited in place");
    }
    if (movie.structure_.endsInsideBox) {
        throw refusal(path.string() + ": the file ends inside a box");
    }
    if (movie.structure_.lastBoxRunsToEnd) {
        throw refusal(path.string() + ": the last box runs to the end of the file");
    }
    if (movie.header_.timescale == 0) {
        throw refusal(path.string() + ": the movie has no timescale");
    }
    movie.demuxable_ = LibavInput::opens(path);
    return movie;
}

MediaFileType MutableMovie::fileType() const {
    const FourCharCode brand = structure_.majorBrand;
    return brand == 0 || brand == fourCharCode("qt  ") ? MediaFileType::quickTimeMovie
                                                       : MediaFileType::mpeg4;
}

MediaTime MutableMovie::duration() const {
    return movieFileTime(header_.duration, header_.timescale);
}

std::vector<MediaTrack> MutableMovie::tracks() const {
    std::vector<MediaTrack> tracks;
    for (const MovieTrackRecord &record : movieTrackRecords(structure_.movie)) {
        MediaTrack::Attributes attributes;
        attributes.trackID = record.trackID;
        attributes.mediaType = mediaTypeOfHandler(record.handlerType);
        for (const MovieSampleEntry &entry : record.sampleEntries) {
            attributes.formatDescriptions.push_back(
                mediaFormatDescription(entry, attributes.mediaType));
        }
        if (const MediaTime duration = movieFileTime(record.mediaDuration, record.mediaTimescale);
            duration.isValid()) {
            attributes.timeRange = {MediaTime::zero(), duration};
        }
        tracks.emplace_back(std::move(attributes));
    }
    return tracks;
}

Timecode MutableMovie::movieDurationTimecode(TimecodeFrameRate rate) const {
    return Timecode(TimecodeSourceValue::cmTime(duration()), rate,
                    Timecode::SubFramesBase::max100SubFrames, Timecode::UpperLimit::max24Hours);
}

MediaTrack MutableMovie::addTimecodeTrack(
    const Timecode &startTimecode, const std::optional<Timecode> &duration,
    const std::optional<FormatDescriptionExtensions> &extensions, MediaFileType fileType) {
    const Timecode length =
        duration ? *duration : movieDurationTimecode(MediaAsset::open(path_)->timecodeFrameRate());
    // The sample holds 32 bits; a start built with invalid components may count beyond them.
    const int64_t frame =
        Timecode::frameCount(startTimecode.components(), startTimecode.frameRate(),
                             startTimecode.subFramesBase())
            .wholeFrames();
    if (frame < 0 || static_cast<uint64_t>(frame) > kMax32) {
        throw Timecode::ValidationError(Timecode::ValidationError::outOfBounds);
    }
    std::array<uint8_t, 4> sample{};
    for (size_t i = 0; i < sample.size(); ++i) {
        sample[i] = static_cast<uint8_t>(static_cast<uint64_t>(frame) >> (24 - 8 * i));
    }
    return addTimecodeTrack(cmFormatDescription(startTimecode, extensions), sample,
                            length.cmTimeValue(), fileType);
}

MediaTrack MutableMovie::replaceTimecodeTrack(
    const Timecode &startTimecode, const std::optional<Timecode> &duration,
    const std::optional<FormatDescriptionExtensions> &extensions, MediaFileType fileType) {
    const Timecode length = duration ? *duration : movieDurationTimecode(startTimecode.frameRate());
    const std::vector<uint32_t> old = timecodeTrackIDs(structure_.movie);
    MediaTrack track = addTimecodeTrack(startTimecode, length, extensions, fileType);
    const std::set<uint32_t> retired(old.begin(), old.end());
    removeTimecodeTracks(structure_.movie, retired);
    std::erase_if(pending_,
                  [&](const PendingSample &pending) { return retired.contains(pending.trackID); });
    return track;
}

MediaTrack MutableMovie::addTimecodeTrack(const MediaFormatDescription &description,
                                          std::span<const uint8_t> sample,
                                          const MediaTime &duration, MediaFileType fileType) {
    if (!description.isTimecode()) {
        throw refusal("a timecode track needs a 'tmcd' or 'tc64' description");
    }
    if (!duration.isNumeric() || duration.value < 0) {
        throw refusal("the duration is not a media time");
    }
    if (sample.size() > kMax32) {
        throw refusal("the sample is too large");
    }
    TimecodeTrackBoxFields fields;
    fields.sampleEntry = timecodeSampleEntry(description);
    fields.sampleSize = static_cast<uint32_t>(sample.size());
    // The sample's duration is a 32-bit count of the media timescale: the frame duration's
    // timescale, coarsened by tens for a track too long to be counted in it.
    uint32_t timescale = static_cast<uint32_t>(description.frameDuration.timescale);
    Int128 ticks = inTimescale(duration, timescale, false);
    while (ticks > static_cast<Int128>(kMax32) && timescale >= 10) {
        timescale /= 10;
        ticks = inTimescale(duration, timescale, false);
    }
    if (ticks > static_cast<Int128>(kMax32)) {
        throw refusal("the duration is too long for one timecode sample");
    }
    fields.mediaTimescale = timescale;
    fields.sampleDuration = static_cast<uint32_t>(ticks);
    const Int128 trackDuration = inTimescale(duration, header_.timescale, true);
    if (trackDuration > static_cast<Int128>(std::numeric_limits<uint64_t>::max() >> 1)) {
        throw refusal("the duration is too long for the movie");
    }
    fields.trackDuration = static_cast<uint64_t>(trackDuration);
    fields.creationTime = header_.creationTime;
    fields.modificationTime = header_.modificationTime;
    fields.fileType = fileType;
    fields.trackID = unusedTrackID(structure_.movie, header_.nextTrackID);
    MovieBox box = timecodeTrackBox(fields);

    // Nothing has changed so far; from here on only memory is touched.
    insertTrack(structure_.movie, std::move(box));
    addTimecodeReferences(structure_.movie, fields.trackID);
    if (fields.trackID >= header_.nextTrackID) {
        header_.nextTrackID = fields.trackID + 1;
    }
    header_.duration = std::max(header_.duration, fields.trackDuration);
    pending_.push_back({fields.trackID, {sample.begin(), sample.end()}});
    changed_ = true;

    MediaTrack::Attributes attributes;
    attributes.trackID = fields.trackID;
    attributes.mediaType = MediaType::timecode;
    attributes.formatDescriptions = {
        mediaFormatDescription(fields.sampleEntry, MediaType::timecode)};
    attributes.timeRange = {MediaTime::zero(), duration};
    return MediaTrack(std::move(attributes));
}

MutableMovie::SavedBoxes MutableMovie::savedBoxes(uint64_t mediaOffset) const {
    SavedBoxes boxes{structure_.movie, {}};
    boxes.movie.child(fourCharCode("mvhd"))->payload = header_.payload();
    if (!pending_.empty()) {
        MovieBox data = MovieBox::leaf(fourCharCode("mdat"), {});
        for (const PendingSample &pending : pending_) {
            for (MovieBox &track : boxes.movie.children) {
                if (track.type == fourCharCode("trak") && movieTrackID(track) == pending.trackID) {
                    setChunkOffset(track, mediaOffset + 8 + data.payload.size());
                }
            }
            data.payload.insert(data.payload.end(), pending.data.begin(), pending.data.end());
        }
        boxes.media = data.serialized();
    }
    return boxes;
}

void MutableMovie::saved() {
    pending_.clear();
    changed_ = false;
}

void MutableMovie::save() {
    if (!changed_) {
        return;
    }
    fastStartLost_.clear();
    // Opened for writing first, whichever way the movie is saved: a movie its user may not
    // write is not changed, not even by a new file renamed over it.
    std::optional<FileMovieWriter> writer;
    try {
        writer.emplace(path_);
    } catch (const MovieFormatError &error) {
        throw refusal(path_.string() + ": " + error.what());
    }
    // What a save that died left beside the movie goes, however this one saves.
    MovieFileReplacement::removeLeftovers(path_);
    if (structure_.isFastStart()) {
        try {
            saveAnew();
            return;
        } catch (const MovieFileReplacement::NotReplaceable &why) {
            fastStartLost_ = why.what();
        }
    }
    save(*writer);
}

void MutableMovie::saveAnew() {
    const TopLevelBox old = structure_.movieBox();
    const uint64_t oldEnd = old.offset + old.size;
    // The new samples follow the new movie box, whose size depends on whether their offsets
    // need 64 bits: a few rounds settle it.
    uint64_t mediaOffset = oldEnd;
    SavedBoxes boxes = savedBoxes(mediaOffset);
    for (int round = 0; round < 4 && old.offset + boxes.movie.size() != mediaOffset; ++round) {
        mediaOffset = old.offset + boxes.movie.size();
        boxes = savedBoxes(mediaOffset);
    }
    if (old.offset + boxes.movie.size() != mediaOffset) {
        throw MovieFileReplacement::NotReplaceable("its new movie box has no settled size");
    }
    const Int128 grown = static_cast<Int128>(boxes.movie.size() + boxes.media.size()) -
                         static_cast<Int128>(old.size);
    const auto shift = static_cast<int64_t>(grown);
    std::set<uint32_t> added;
    for (const PendingSample &pending : pending_) {
        added.insert(pending.trackID);
    }
    if (const auto why = moveMediaData(boxes.movie, old.offset, oldEnd, shift, added)) {
        throw MovieFileReplacement::NotReplaceable("the media data cannot be moved: " + *why);
    }
    const std::vector<uint8_t> movieBytes = boxes.movie.serialized();
    const auto newSize = static_cast<uint64_t>(static_cast<Int128>(structure_.fileSize) + shift);

    try {
        MovieFileReplacement replacement(path_, newSize);
        if (replacement.originalSize() != structure_.fileSize) {
            throw refusal(path_.string() + ": the file changed since it was opened");
        }
        replacement.appendOriginal(0, old.offset);
        replacement.append(movieBytes);
        replacement.append(boxes.media);
        replacement.appendOriginal(oldEnd, structure_.fileSize - oldEnd);
        // Older movie boxes left by a save cut short come after the one in use; they are
        // retired, so that the box written is the only one.
        static constexpr std::array<uint8_t, 4> freeType{'f', 'r', 'e', 'e'};
        for (size_t i = 0; i < structure_.boxes.size(); ++i) {
            const TopLevelBox &box = structure_.boxes[i];
            if (box.type == fourCharCode("moov") && i != structure_.movieBoxIndex) {
                replacement.write(box.offset + static_cast<uint64_t>(shift) + 4, freeType);
            }
        }
        // The new file must read as the movie meant before it takes the old one's place.
        MovieStructure written = MovieStructure::read(FileByteSource(replacement.newFile()));
        if (!(written.movie == boxes.movie) || !written.isFastStart() ||
            written.fileSize != newSize ||
            (demuxable_ && !LibavInput::opens(replacement.newFile()))) {
            throw refusal(path_.string() + ": the new file did not read back as written");
        }
        replacement.commit();
        structure_ = std::move(written);
    } catch (const MovieFormatError &error) {
        throw refusal(path_.string() + ": " + error.what());
    }
    saved();
}

void MutableMovie::save(MovieFileWriter &writer) {
    if (!changed_) {
        return;
    }
    const uint64_t original = writer.size();
    if (original != structure_.fileSize) {
        throw refusal(path_.string() + ": the file changed since it was opened");
    }
    SavedBoxes boxes = savedBoxes(original);
    const std::vector<uint8_t> &media = boxes.media;
    MovieBox &movie = boxes.movie;
    const std::vector<uint8_t> movieBytes = movie.serialized();
    // Every other movie box goes before the one in use: a box left complete by a save that was
    // cut short would otherwise come first once the one in use is retired, and readers would
    // take it in place of the box written now.
    std::vector<uint64_t> retired;
    for (size_t i = 0; i < structure_.boxes.size(); ++i) {
        if (structure_.boxes[i].type == fourCharCode("moov") && i != structure_.movieBoxIndex) {
            retired.push_back(structure_.boxes[i].offset);
        }
    }
    retired.push_back(structure_.movieBox().offset);
    static constexpr std::array<uint8_t, 4> freeType{'f', 'r', 'e', 'e'};
    static constexpr std::array<uint8_t, 4> movieType{'m', 'o', 'o', 'v'};
    size_t retiring = 0;
    try {
        if (!media.empty()) {
            writer.write(original, media);
        }
        writer.write(original + media.size(), movieBytes);
        writer.synchronize();
        for (const uint64_t offset : retired) {
            ++retiring;
            writer.write(offset + 4, freeType);
        }
        writer.synchronize();
        // Saved only once it reads back, here and in demuxers that opened it before; else the
        // old movie box is put back below.
        if (const auto why =
                readBackProblem(path_, movie, original + media.size(),
                                original + media.size() + movieBytes.size(), demuxable_)) {
            throw refusal(path_.string() + ": the saved movie did not read back (" + *why +
                          "), so it was put back as it was");
        }
    } catch (...) {
        // Put the file back as it was; the first failure is the one reported.
        try {
            for (size_t i = 0; i < retiring; ++i) {
                writer.write(retired[i] + 4, movieType);
            }
            writer.truncate(original);
            writer.synchronize();
        } catch (...) {
        }
        throw;
    }
    for (TopLevelBox &box : structure_.boxes) {
        if (box.type == fourCharCode("moov")) {
            box.type = fourCharCode("free");
        }
    }
    if (!media.empty()) {
        structure_.boxes.push_back({fourCharCode("mdat"), original, media.size(), 8});
    }
    structure_.boxes.push_back(
        {fourCharCode("moov"), original + media.size(), movieBytes.size(), 8});
    structure_.movieBoxIndex = structure_.boxes.size() - 1;
    structure_.fileSize = original + media.size() + movieBytes.size();
    structure_.movie = std::move(movie);
    saved();
}

} // namespace timecode
