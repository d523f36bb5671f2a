#pragma once

#include "timecode/av/MediaFileType.h"
#include "timecode/av/MediaFormatDescription.h"
#include "timecode/av/MediaTrack.h"
#include "timecode/av/MovieFileWriter.h"
#include "timecode/av/MovieHeader.h"
#include "timecode/av/MovieStructure.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/Timecode.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace timecode {

// A QuickTime or MPEG-4 movie whose timecode tracks are edited in memory and then saved.
//
// Saving moves no byte of the file: the new tracks' samples go into one media data box
// appended to the file, followed by the new movie box; then every older movie box is retired
// (its type becomes 'free'), the one in use in the last four-byte write, so that the box just
// written is the first one readers find. Until then the old movie box comes first and stays
// the one demuxers read, so the file holds either the old movie or the new one whatever
// happens; a save that fails cuts the file back to its old length, byte for byte.
//
// A fast-start movie (its movie box ahead of the media data) would lose that order so. It is
// written anew instead: the new movie box where the old one was, the new samples right after
// it, then the rest of the file with every chunk offset moved along; the new file is read back
// and then renamed over the old one (MovieFileReplacement), which stays untouched until then.
// Where that cannot be done without losing something (samples the offsets do not lead to, a
// file with other names, an owner or attributes a new file cannot get, no room for a copy),
// the movie is saved in place as above and fastStartLost() says why.
//
// A save counts only once the file reads back as written (and opens in demuxers where it did
// before); one that does not is undone. A movie whose sample tables claim more than they hold
// is refused when it is opened: demuxers read such a table past its box, which reads
// otherwise once the box has moved. A file the user may not write is refused, however it
// would be saved.
//
// Operations that fail leave the movie as it was.
class MutableMovie {
public:
    // Throws MediaWriteError::internalError for a file that is not a regular file, not a movie
    // or cannot be edited in place (fragmented, ending inside a box, with a last box that runs
    // to the end of the file, with two tracks of one ID, or with sample tables that claim more
    // entries than they hold), and std::system_error when it cannot be read.
    static MutableMovie open(const std::filesystem::path &path);

    const std::filesystem::path &path() const { return path_; }
    // QuickTime without a file type box or with the 'qt  ' brand, else MPEG-4.
    MediaFileType fileType() const;
    // The movie header's duration.
    MediaTime duration() const;
    // The tracks as they stand in memory (without an asset).
    std::vector<MediaTrack> tracks() const;
    bool hasChanges() const { return changed_; }
    // The movie box in use comes before the media data, as last saved.
    bool isFastStart() const { return structure_.isFastStart(); }
    // Why the last save could not keep a fast-start movie so; empty when it did, or when the
    // movie was not fast-start.
    const std::string &fastStartLost() const { return fastStartLost_; }

    // Adds a timecode track holding one 32-bit sample, the start timecode's whole frame count,
    // lasting for the duration, described by cmFormatDescription(startTimecode, extensions) and
    // referenced by every video track. Without a duration, the movie's duration at the
    // movie's own timecode rate (100 sub-frames, 24 hours) is used, the rate read from the file
    // as last saved. Throws
    // Timecode::ValidationError::outOfBounds for a start whose frame count lies outside
    // 0...4294967295, the rate detection's and conversion's errors, and MediaWriteError.
    MediaTrack addTimecodeTrack(const Timecode &startTimecode,
                                const std::optional<Timecode> &duration,
                                const std::optional<FormatDescriptionExtensions> &extensions,
                                MediaFileType fileType);
    // The same, and then the movie's other timecode tracks and every reference to them go.
    // Without a duration, the movie's duration is converted at the start timecode's own rate.
    // The new track is complete before anything is removed.
    MediaTrack replaceTimecodeTrack(const Timecode &startTimecode,
                                    const std::optional<Timecode> &duration,
                                    const std::optional<FormatDescriptionExtensions> &extensions,
                                    MediaFileType fileType);
    // A timecode track ('tmcd' or 'tc64' description) of one sample with the bytes given.
    MediaTrack addTimecodeTrack(const MediaFormatDescription &description,
                                std::span<const uint8_t> sample, const MediaTime &duration,
                                MediaFileType fileType);

    // Writes the changes (nothing when there are none), a fast-start movie anew where it can.
    // Throws std::system_error when the file cannot be opened for writing (nothing is
    // written then, either way), MediaWriteError::internalError when the file's length
    // changed since it was opened or last saved or the result did not read back, and what
    // writing throws; the file is then as it was.
    void save();
    // Saves in place, through the writer, whatever the movie's layout, and reads the file back.
    void save(MovieFileWriter &writer);

private:
    struct PendingSample {
        uint32_t trackID;
        std::vector<uint8_t> data;
    };

    // What is saved: the movie box, and the media data box of the new samples placed at
    // `mediaOffset` (empty without new samples).
    struct SavedBoxes {
        MovieBox movie;
        std::vector<uint8_t> media;
    };

    MutableMovie() = default;
    Timecode movieDurationTimecode(TimecodeFrameRate rate) const;
    SavedBoxes savedBoxes(uint64_t mediaOffset) const;
    // The fast-start save; throws MovieFileReplacement::NotReplaceable, before anything is
    // written, where the movie must be saved in place instead.
    void saveAnew();
    void saved();

    std::filesystem::path path_;
    MovieStructure structure_;
    MovieHeader header_;
    std::vector<PendingSample> pending_;
    bool changed_ = false;
    std::string fastStartLost_;
    // libavformat opened the file when it was opened here: a save must keep it so.
    bool demuxable_ = false;
};

} // namespace timecode
