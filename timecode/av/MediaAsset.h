#pragma once

#include "timecode/av/MediaTrack.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/Timecode.h"
#include "timecode/core/VideoFrameRate.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace timecode {

// A media file as the timecode library reads it: its tracks and its exact duration, read once
// when it is opened (libavformat for the streams and their index, our box reader for what
// QuickTime and MPEG-4 files keep beyond it: every sample description with its flags, 64-bit
// timecode tracks). Immutable afterwards and shared between threads freely.
//
// The operations answer the asset's timecode and video frame rates and its timecodes. They
// block their caller while they read (only the timecode samples are read beyond the header);
// none keeps state between calls.
class MediaAsset {
public:
    // Throws MediaParseError::internalError when the file cannot be opened or read as media.
    static std::shared_ptr<const MediaAsset> open(const std::filesystem::path &path);

    const std::filesystem::path &path() const { return path_; }
    // QuickTime and MPEG-4: the movie header's duration; other files: the end of the longest
    // stream. Invalid when neither is known.
    const MediaTime &duration() const { return duration_; }
    const std::vector<MediaTrack> &tracks() const { return tracks_; }
    std::vector<MediaTrack> tracks(MediaType type) const;

    // The timecode frame rate: from the first video track's minimum frame duration, else the
    // first timecode description's frame duration, else the video frame rate's timecode
    // form; `drop` defaults to isTimecodeFrameRateDropFrame(). Throws
    // MediaParseError::missingOrNonStandardFrameRate when none fits.
    TimecodeFrameRate timecodeFrameRate(std::optional<bool> drop = std::nullopt) const;
    // Any description of any timecode track has the drop-frame flag.
    bool isTimecodeFrameRateDropFrame() const;
    // The video frame rate: from minimum frame durations, video then timecode descriptions,
    // then the nominal rates; `interlaced` defaults to isVideoInterlaced(). Throws
    // MediaParseError::missingOrNonStandardFrameRate when none fits.
    VideoFrameRate videoFrameRate(std::optional<bool> interlaced = std::nullopt) const;
    // The first video track is interlaced; false without one.
    bool isVideoInterlaced() const;
    std::vector<float> readNominalVideoFrameRates() const;

    // The timecodes of every timecode track (one list per track) at the rate given; without
    // one, each track's at its own (its first description's frame duration and drop flag), or
    // where that gives none, at the detected rate. Throws the rate detection's, the reading's
    // and the core's errors.
    std::vector<std::vector<Timecode>> timecodes(std::optional<TimecodeFrameRate> at,
                                                 Timecode::SubFramesBase base,
                                                 Timecode::UpperLimit limit) const;
    // The timecode track players show: the first 'tmcd' reference, in track order, of an
    // enabled track that names a timecode track of the asset; nothing without one.
    std::optional<uint32_t> referencedTimecodeTrackID() const;
    // The first timecode of the first track that has one; nothing when no track has.
    std::optional<Timecode> startTimecode(std::optional<TimecodeFrameRate> at,
                                          Timecode::SubFramesBase base,
                                          Timecode::UpperLimit limit) const;
    // The start plus the duration at the start's rate, wrapping at the upper limit; nothing
    // without a start.
    std::optional<Timecode> endTimecode(std::optional<TimecodeFrameRate> at,
                                        Timecode::SubFramesBase base,
                                        Timecode::UpperLimit limit) const;
    // The duration, converted strictly.
    Timecode durationTimecode(std::optional<TimecodeFrameRate> at, Timecode::SubFramesBase base,
                              Timecode::UpperLimit limit) const;

private:
    MediaAsset() = default;

    std::filesystem::path path_;
    MediaTime duration_;
    std::vector<MediaTrack> tracks_;
};

// The asset's video frame rate, offered on the rate: asset.videoFrameRate(interlaced).
inline VideoFrameRate videoFrameRate(const MediaAsset &asset,
                                     std::optional<bool> interlaced = std::nullopt) {
    return asset.videoFrameRate(interlaced);
}

} // namespace timecode
