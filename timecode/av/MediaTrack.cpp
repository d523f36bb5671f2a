#include "timecode/av/MediaTrack.h"

#include "timecode/av/LibavInput.h"
#include "timecode/av/MediaAsset.h"
#include "timecode/av/MediaParseError.h"

extern "C" {
#include <libavcodec/packet.h>
#include <libavformat/avformat.h>
}

#include <memory>

namespace timecode {

namespace {

struct PacketDeleter {
    void operator()(AVPacket *packet) const { av_packet_free(&packet); }
};

} // namespace

MediaTrack::MediaTrack(Attributes attributes, std::weak_ptr<const MediaAsset> asset)
    : attributes_(std::move(attributes)), asset_(std::move(asset)) {}

bool MediaTrack::isVideoInterlaced() const {
    for (const MediaFormatDescription &description : attributes_.formatDescriptions) {
        if (description.integerExtension(FormatDescriptionExtensionKey::fieldCount).value_or(0) >
            1) {
            return true;
        }
    }
    return false;
}

std::optional<TimecodeFrameRate> MediaTrack::ownTimecodeFrameRate() const {
    if (attributes_.formatDescriptions.empty()) {
        return std::nullopt;
    }
    const MediaFormatDescription &description = attributes_.formatDescriptions.front();
    return TimecodeFrameRate::fromFrameDuration(
        description.frameDuration,
        (description.timeCodeFlags & TimecodeFormatFlag::dropFrame) != 0);
}

std::vector<CMTimeCode> MediaTrack::readTimecodeSamples(const MediaAsset &context) const {
    LibavInput input(context.path());
    AVFormatContext *format = input.context();
    int streamIndex = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        AVStream *stream = format->streams[i];
        if (streamIndex < 0 && input.trackID(*stream) == trackID()) {
            streamIndex = static_cast<int>(i);
        } else {
            stream->discard = AVDISCARD_ALL;
        }
    }
    if (streamIndex < 0) {
        throw MediaParseError(MediaParseError::internalError, "no track " +
                                                                  std::to_string(trackID()) +
                                                                  " in " + context.path().string());
    }
    const std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    if (!packet) {
        throw std::bad_alloc();
    }
    const MediaFormatDescription *description =
        formatDescriptions().empty() ? nullptr : &formatDescriptions().front();
    std::vector<CMTimeCode> samples;
    // Samples may share their bytes, so a small damaged file can name more samples than it
    // holds: reading stops at more bytes than the whole file, or more values than the cap.
    const int64_t fileSize = avio_size(format->pb);
    uint64_t bytesRead = 0;
    const auto tooMany = [&](const char *what) {
        return MediaParseError(MediaParseError::internalError,
                               context.path().string() + ": the timecode samples of track " +
                                   std::to_string(trackID()) + " hold " + what);
    };
    // Reading ends where no packet is left, as at the end of the file.
    while (av_read_frame(format, packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            bytesRead += static_cast<uint64_t>(packet->size);
            if (fileSize >= 0 && bytesRead > static_cast<uint64_t>(fileSize)) {
                throw tooMany("more bytes than the file");
            }
            std::vector<CMTimeCode> decoded;
            try {
                decoded = timecodeSamples(
                    {description, {packet->data, static_cast<size_t>(packet->size)}});
            } catch (const MediaParseError &) {
                // A sample of another format contributes nothing.
            }
            if (decoded.size() > kMaxTimecodeSamples - samples.size()) {
                throw tooMany("too many values");
            }
            samples.insert(samples.end(), decoded.begin(), decoded.end());
        }
        av_packet_unref(packet.get());
    }
    return samples;
}

TimecodeFrameRate MediaTrack::settledFrameRate(std::optional<TimecodeFrameRate> at) const {
    if (at) {
        return *at;
    }
    const auto owner = asset();
    if (!owner) {
        throw MediaParseError(MediaParseError::missingOrNonStandardFrameRate);
    }
    return owner->timecodeFrameRate();
}

ClosedRange<Timecode> MediaTrack::timecodeRange(std::optional<TimecodeFrameRate> at,
                                                Timecode::UpperLimit limit,
                                                Timecode::SubFramesBase base) const {
    return attributes_.timeRange.timecodeRange(
        Timecode::Properties(settledFrameRate(at), base, limit));
}

Timecode MediaTrack::durationTimecode(std::optional<TimecodeFrameRate> at,
                                      Timecode::UpperLimit limit,
                                      Timecode::SubFramesBase base) const {
    const ClosedRange<Timecode> range = timecodeRange(at, limit, base);
    return range.upper - range.lower;
}

std::vector<MediaFormatDescription>
formatDescriptionsFlatMapped(const std::vector<MediaTrack> &tracks) {
    std::vector<MediaFormatDescription> descriptions;
    for (const MediaTrack &track : tracks) {
        descriptions.insert(descriptions.end(), track.formatDescriptions().begin(),
                            track.formatDescriptions().end());
    }
    return descriptions;
}

} // namespace timecode
