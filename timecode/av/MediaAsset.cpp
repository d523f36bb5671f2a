#include "timecode/av/MediaAsset.h"

#include "timecode/av/LibavInput.h"
#include "timecode/av/MediaParseError.h"
#include "timecode/av/MovieFormatError.h"
#include "timecode/av/MovieHeader.h"
#include "timecode/av/MovieStructure.h"
#include "timecode/av/MovieTime.h"
#include "timecode/av/MovieTrackRecord.h"
#include "timecode/core/NumericUtilities.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <limits>
#include <map>
#include <system_error>

namespace timecode {

namespace {

// value × time base, exactly; invalid where it does not fit a media time.
MediaTime exactTime(int64_t value, AVRational timeBase) {
    if (timeBase.num <= 0 || timeBase.den <= 0 || value == AV_NOPTS_VALUE) {
        return MediaTime::invalidTime();
    }
    const Int128 scaled = static_cast<Int128>(value) * timeBase.num;
    if (scaled != static_cast<Int128>(saturatingInt64(scaled))) {
        return MediaTime::invalidTime();
    }
    return MediaTime(static_cast<int64_t>(scaled), timeBase.den);
}

// The shortest step between the times of the stream's index entries (edit-list discards left
// out); a single entry lasts the stream's duration.
MediaTime minimumFrameDuration(AVStream &stream) {
    const int count = avformat_index_get_entries_count(&stream);
    std::vector<int64_t> times;
    times.reserve(static_cast<size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry *entry = avformat_index_get_entry(&stream, i);
        if (entry != nullptr && (entry->flags & AVINDEX_DISCARD_FRAME) == 0) {
            times.push_back(entry->timestamp);
        }
    }
    std::sort(times.begin(), times.end());
    std::optional<int64_t> shortest;
    for (size_t i = 1; i < times.size(); ++i) {
        // Damaged files may hold times at both ends of the 64-bit range.
        const Int128 step = static_cast<Int128>(times[i]) - times[i - 1];
        if (step > 0 && step <= std::numeric_limits<int64_t>::max() &&
            (!shortest || step < *shortest)) {
            shortest = static_cast<int64_t>(step);
        }
    }
    if (!shortest && times.size() == 1 && stream.duration != AV_NOPTS_VALUE &&
        stream.duration > 0) {
        shortest = stream.duration;
    }
    return shortest ? exactTime(*shortest, stream.time_base) : MediaTime::invalidTime();
}

std::optional<int64_t> fieldCount(AVFieldOrder order) {
    switch (order) {
    case AV_FIELD_PROGRESSIVE:
        return 1;
    case AV_FIELD_TT:
    case AV_FIELD_BB:
    case AV_FIELD_TB:
    case AV_FIELD_BT:
        return 2;
    default:
        return std::nullopt;
    }
}

MediaType mediaTypeOf(const AVStream &stream, const MovieTrackRecord *record) {
    if (record != nullptr && record->handlerType == fourCharCode("tmcd")) {
        return MediaType::timecode;
    }
    switch (stream.codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        // Cover art rides along as a one-picture video stream.
        return (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0 ? MediaType::other
                                                                       : MediaType::video;
    case AVMEDIA_TYPE_AUDIO:
        return MediaType::audio;
    default:
        return MediaType::other;
    }
}

MediaTrack::Attributes trackAttributes(const LibavInput &input, AVStream &stream,
                                       const MovieTrackRecord *record) {
    MediaTrack::Attributes attributes;
    attributes.trackID = input.trackID(stream);
    attributes.mediaType = mediaTypeOf(stream, record);
    if (record != nullptr) {
        attributes.isEnabled = record->enabled;
        for (const MovieTrackReference &reference : record->references) {
            if (reference.type == fourCharCode("tmcd")) {
                attributes.timecodeTrackReferences.insert(attributes.timecodeTrackReferences.end(),
                                                          reference.trackIDs.begin(),
                                                          reference.trackIDs.end());
            }
        }
        for (const MovieSampleEntry &entry : record->sampleEntries) {
            attributes.formatDescriptions.push_back(
                mediaFormatDescription(entry, attributes.mediaType));
        }
    } else {
        MediaFormatDescription description;
        description.mediaType = attributes.mediaType;
        description.mediaSubType = stream.codecpar->codec_tag;
        attributes.formatDescriptions.push_back(std::move(description));
    }
    if (attributes.mediaType == MediaType::video) {
        if (const auto fields = fieldCount(stream.codecpar->field_order)) {
            for (MediaFormatDescription &description : attributes.formatDescriptions) {
                description.extensions[std::string(FormatDescriptionExtensionKey::fieldCount)] =
                    *fields;
            }
        }
    }
    attributes.minFrameDuration = minimumFrameDuration(stream);
    if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0) {
        attributes.nominalFrameRate = static_cast<float>(av_q2d(stream.avg_frame_rate));
    }
    const int64_t start = stream.start_time == AV_NOPTS_VALUE ? 0 : stream.start_time;
    attributes.timeRange = {exactTime(start, stream.time_base),
                            exactTime(stream.duration, stream.time_base)};
    return attributes;
}

// The longest stream's end, for files without a movie header.
MediaTime longestStreamEnd(const std::vector<MediaTrack> &tracks) {
    MediaTime longest;
    for (const MediaTrack &track : tracks) {
        const MediaTime end = track.timeRange().end();
        if (end.isNumeric() && (!longest.isValid() || longest < end)) {
            longest = end;
        }
    }
    return longest;
}

// The first valid minimum frame duration of the tracks, in track order.
std::optional<MediaTime> firstMinimumFrameDuration(const std::vector<MediaTrack> &tracks) {
    for (const MediaTrack &track : tracks) {
        if (track.minFrameDuration().isNumeric()) {
            return track.minFrameDuration();
        }
    }
    return std::nullopt;
}

// The frame duration of the first description, if it has one.
std::optional<MediaTime> firstDescriptionFrameDuration(const std::vector<MediaTrack> &tracks) {
    const auto descriptions = formatDescriptionsFlatMapped(tracks);
    if (descriptions.empty() || !descriptions.front().frameDuration.isNumeric()) {
        return std::nullopt;
    }
    return descriptions.front().frameDuration;
}

} // namespace

std::shared_ptr<const MediaAsset> MediaAsset::open(const std::filesystem::path &path) {
    const LibavInput input(path);
    std::map<uint32_t, MovieTrackRecord> records;
    std::optional<MovieHeader> movieHeader;
    if (input.isQuickTimeFamily()) {
        try {
            const MovieStructure structure = MovieStructure::read(FileByteSource(path));
            for (MovieTrackRecord &record : movieTrackRecords(structure.movie)) {
                records.emplace(record.trackID, std::move(record));
            }
            if (const MovieBox *header = structure.movie.child(fourCharCode("mvhd"))) {
                movieHeader = MovieHeader::parse(header->payload);
            }
        } catch (const MovieFormatError &error) {
            throw MediaParseError(MediaParseError::internalError,
                                  path.string() + ": " + error.what());
        } catch (const std::system_error &error) {
            throw MediaParseError(MediaParseError::internalError, error.what());
        }
    }
    const std::shared_ptr<MediaAsset> asset(new MediaAsset());
    asset->path_ = path;
    AVFormatContext *format = input.context();
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream &stream = *format->streams[i];
        const auto record = records.find(input.trackID(stream));
        asset->tracks_.emplace_back(
            trackAttributes(input, stream, record == records.end() ? nullptr : &record->second),
            asset);
    }
    const MediaTime headerDuration =
        movieHeader ? movieFileTime(movieHeader->duration, movieHeader->timescale)
                    : MediaTime::invalidTime();
    asset->duration_ = headerDuration.isValid() ? headerDuration : longestStreamEnd(asset->tracks_);
    return asset;
}

std::vector<MediaTrack> MediaAsset::tracks(MediaType type) const {
    std::vector<MediaTrack> matching;
    for (const MediaTrack &track : tracks_) {
        if (track.mediaType() == type) {
            matching.push_back(track);
        }
    }
    return matching;
}

TimecodeFrameRate MediaAsset::timecodeFrameRate(std::optional<bool> drop) const {
    const bool isDrop = drop.value_or(isTimecodeFrameRateDropFrame());
    if (const auto duration = firstMinimumFrameDuration(tracks(MediaType::video))) {
        if (const auto rate = TimecodeFrameRate::fromFrameDuration(*duration, isDrop)) {
            return *rate;
        }
    }
    if (const auto duration = firstDescriptionFrameDuration(tracks(MediaType::timecode))) {
        if (const auto rate = TimecodeFrameRate::fromFrameDuration(*duration, isDrop)) {
            return *rate;
        }
    }
    if (const auto rate = videoFrameRate(std::nullopt).timecodeFrameRate(isDrop)) {
        return *rate;
    }
    throw MediaParseError(MediaParseError::missingOrNonStandardFrameRate);
}

bool MediaAsset::isTimecodeFrameRateDropFrame() const {
    for (const MediaFormatDescription &description :
         formatDescriptionsFlatMapped(tracks(MediaType::timecode))) {
        if ((description.timeCodeFlags & TimecodeFormatFlag::dropFrame) != 0) {
            return true;
        }
    }
    return false;
}

VideoFrameRate MediaAsset::videoFrameRate(std::optional<bool> interlaced) const {
    const std::vector<MediaTrack> video = tracks(MediaType::video);
    const bool isInterlaced = interlaced.value_or(isVideoInterlaced());
    for (const auto &duration :
         {firstMinimumFrameDuration(video), firstDescriptionFrameDuration(video),
          firstDescriptionFrameDuration(tracks(MediaType::timecode))}) {
        if (duration) {
            if (const auto rate = VideoFrameRate::fromFrameDuration(*duration, isInterlaced)) {
                return *rate;
            }
        }
    }
    for (const float fps : readNominalVideoFrameRates()) {
        if (const auto rate =
                VideoFrameRate::fromFps(static_cast<double>(fps), isInterlaced, false)) {
            return *rate;
        }
    }
    throw MediaParseError(MediaParseError::missingOrNonStandardFrameRate);
}

bool MediaAsset::isVideoInterlaced() const {
    const std::vector<MediaTrack> video = tracks(MediaType::video);
    return !video.empty() && video.front().isVideoInterlaced();
}

std::vector<float> MediaAsset::readNominalVideoFrameRates() const {
    std::vector<float> rates;
    for (const MediaTrack &track : tracks(MediaType::video)) {
        rates.push_back(track.nominalFrameRate());
    }
    return rates;
}

std::vector<std::vector<Timecode>> MediaAsset::timecodes(std::optional<TimecodeFrameRate> at,
                                                         Timecode::SubFramesBase base,
                                                         Timecode::UpperLimit limit) const {
    const TimecodeFrameRate detected = at ? *at : timecodeFrameRate();
    std::vector<std::vector<Timecode>> timecodes;
    for (const MediaTrack &track : tracks(MediaType::timecode)) {
        // A track counts its frames at its own rate, which need not be the video's (a 25 fps
        // count in a 50p movie); the detected rate stands in where the track has none.
        const std::optional<TimecodeFrameRate> own =
            at ? std::nullopt : track.ownTimecodeFrameRate();
        timecodes.push_back(
            mapToTimecode(track.readTimecodeSamples(*this), {own.value_or(detected), base, limit}));
    }
    return timecodes;
}

std::optional<uint32_t> MediaAsset::referencedTimecodeTrackID() const {
    const std::vector<MediaTrack> timecode = tracks(MediaType::timecode);
    for (const MediaTrack &track : tracks_) {
        if (!track.isEnabled()) {
            continue;
        }
        for (const uint32_t id : track.timecodeTrackReferences()) {
            if (std::any_of(timecode.begin(), timecode.end(), [&](const MediaTrack &candidate) {
                    return candidate.trackID() == id;
                })) {
                return id;
            }
        }
    }
    return std::nullopt;
}

std::optional<Timecode> MediaAsset::startTimecode(std::optional<TimecodeFrameRate> at,
                                                  Timecode::SubFramesBase base,
                                                  Timecode::UpperLimit limit) const {
    for (const std::vector<Timecode> &track : timecodes(at, base, limit)) {
        if (!track.empty()) {
            return track.front();
        }
    }
    return std::nullopt;
}

std::optional<Timecode> MediaAsset::endTimecode(std::optional<TimecodeFrameRate> at,
                                                Timecode::SubFramesBase base,
                                                Timecode::UpperLimit limit) const {
    // Without a rate the start is read at its track's own rate, and the end follows it.
    const std::optional<Timecode> start = startTimecode(at, base, limit);
    if (!start) {
        return std::nullopt;
    }
    return *start + durationTimecode(start->frameRate(), base, limit);
}

Timecode MediaAsset::durationTimecode(std::optional<TimecodeFrameRate> at,
                                      Timecode::SubFramesBase base,
                                      Timecode::UpperLimit limit) const {
    return Timecode(TimecodeSourceValue::cmTime(duration_), at ? *at : timecodeFrameRate(), base,
                    limit);
}

} // namespace timecode
