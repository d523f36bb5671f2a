#pragma once

#include "timecode/av/CMTimeCode.h"
#include "timecode/av/MediaFormatDescription.h"
#include "timecode/av/MediaType.h"
#include "timecode/core/ClosedRange.h"
#include "timecode/core/MediaTime.h"
#include "timecode/core/MediaTimeRange.h"
#include "timecode/core/Timecode.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace timecode {

class MediaAsset;

// One track of a media asset: what it carries, how its samples are described and timed. A
// plain value; the asset it came from is held weakly, so a track kept beyond its asset (or
// built by hand) has none.
class MediaTrack {
public:
    struct Attributes {
        uint32_t trackID = 0;
        MediaType mediaType = MediaType::other;
        std::vector<MediaFormatDescription> formatDescriptions;
        // The shortest distance between two of the track's sample times; invalid when the
        // track has too few samples to tell.
        MediaTime minFrameDuration;
        // Frames per second on average; 0 when unknown.
        float nominalFrameRate = 0;
        MediaTimeRange timeRange;
        // Players present enabled tracks only; files without track headers enable every track.
        bool isEnabled = true;
        // The timecode tracks the track refers to ('tmcd' references), in the file's order.
        std::vector<uint32_t> timecodeTrackReferences;
    };

    explicit MediaTrack(Attributes attributes, std::weak_ptr<const MediaAsset> asset = {});

    uint32_t trackID() const { return attributes_.trackID; }
    MediaType mediaType() const { return attributes_.mediaType; }
    const std::vector<MediaFormatDescription> &formatDescriptions() const {
        return attributes_.formatDescriptions;
    }
    const MediaTime &minFrameDuration() const { return attributes_.minFrameDuration; }
    float nominalFrameRate() const { return attributes_.nominalFrameRate; }
    const MediaTimeRange &timeRange() const { return attributes_.timeRange; }
    bool isEnabled() const { return attributes_.isEnabled; }
    const std::vector<uint32_t> &timecodeTrackReferences() const {
        return attributes_.timecodeTrackReferences;
    }
    // The asset the track belongs to, while it exists.
    std::shared_ptr<const MediaAsset> asset() const { return asset_.lock(); }

    // Any description with a field count above 1.
    bool isVideoInterlaced() const;
    // The rate the track's timecode samples count in: its first description's frame duration
    // and drop-frame flag; nothing when that matches no timecode rate.
    std::optional<TimecodeFrameRate> ownTimecodeFrameRate() const;

    // Every timecode sample of the track, read from the context asset's file in order, under the
    // track's first description: libavformat delivers only the samples of a track's first
    // sample format, and descriptions of one format read alike. Samples of another subtype, or
    // without readable data, give nothing. Throws
    // MediaParseError::internalError when the file cannot be opened or holds no such track, and
    // when the samples read hold more bytes than the file or more than kMaxTimecodeSamples
    // values (samples of a damaged file may share their bytes). Blocks for the whole read.
    std::vector<CMTimeCode> readTimecodeSamples(const MediaAsset &context) const;
    // A frame number for every frame of a day at 120 fps.
    static constexpr size_t kMaxTimecodeSamples = size_t{24} * 60 * 60 * 120;

    // The track's time range as timecodes at the rate (or the asset's timecode rate). Throws
    // MediaParseError::missingOrNonStandardFrameRate without a rate and an asset, and the
    // core's validation errors. Note the order: limit before base.
    ClosedRange<Timecode> timecodeRange(std::optional<TimecodeFrameRate> at,
                                        Timecode::UpperLimit limit,
                                        Timecode::SubFramesBase base) const;
    // The range's end minus its start (wrapping).
    Timecode durationTimecode(std::optional<TimecodeFrameRate> at, Timecode::UpperLimit limit,
                              Timecode::SubFramesBase base) const;

private:
    TimecodeFrameRate settledFrameRate(std::optional<TimecodeFrameRate> at) const;

    Attributes attributes_;
    std::weak_ptr<const MediaAsset> asset_;
};

// The descriptions of all tracks, in track order.
std::vector<MediaFormatDescription>
formatDescriptionsFlatMapped(const std::vector<MediaTrack> &tracks);

} // namespace timecode
