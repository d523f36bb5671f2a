// tandrel-timecode: the timecode of movies from the command line (see helpText below).

#include "timecode/av/ErrorName.h"
#include "timecode/av/MediaAsset.h"
#include "timecode/av/MediaParseError.h"
#include "timecode/av/MutableMovie.h"
#include "timecode/core/Timecode.h"

#include <nlohmann/json.hpp>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace timecode;
using Json = nlohmann::ordered_json;

constexpr Timecode::SubFramesBase kBase = Timecode::SubFramesBase::max100SubFrames;
constexpr Timecode::UpperLimit kLimit = Timecode::UpperLimit::max24Hours;

constexpr const char *usageText =
    "usage: tandrel-timecode probe FILE\n"
    "       tandrel-timecode write FILE START@RATE [--duration TIMECODE] [--replace] "
    "[--allow-other-rate]\n"
    "       tandrel-timecode --help\n";

constexpr const char *helpText =
    "\n"
    "probe FILE\n"
    "  Prints the movie's rates and timecodes as one JSON object. A field that cannot be read\n"
    "  holds the name of its error.\n"
    "    timecodeFrameRate, drop   the rate that start, end and duration count in: that of the\n"
    "                              track start is read from; without a start, the rate the\n"
    "                              movie's frames run at (its video's, else its first timecode\n"
    "                              track's), drop-frame when a timecode track says so\n"
    "    videoFrameRate, interlaced\n"
    "    start, startTrackID       the first timecode of the timecode track players show: the\n"
    "                              one the first enabled track's timecode reference names;\n"
    "                              without such a reference, the first timecode track that has\n"
    "                              a sample\n"
    "    end, duration             start plus the movie's duration, and that duration\n"
    "    timecodes                 every timecode of every timecode track, one list per track\n"
    "    timecodeTracks            those tracks in the same order: trackID, and the rate and\n"
    "                              drop flag each one counts in\n"
    "\n"
    "write FILE START@RATE\n"
    "  Adds a timecode track starting at START, counted at RATE (\"25\", \"29.97d\", ...),\n"
    "  lasting the --duration or else the movie. Prints the new track as JSON.\n"
    "    --replace           drop the movie's other timecode tracks\n"
    "    --allow-other-rate  write a RATE that is not the video's; without it such a rate is\n"
    "                        refused\n"
    "  A fast-start movie (its index ahead of its media) is written anew so that it stays\n"
    "  fast-start; where that cannot be done safely it is written in place, and the tool says\n"
    "  that it is no longer fast-start and why.\n"
    "\n"
    "Timecodes are read and written with 100 sub-frames and a 24-hour limit.\n";

// A request the tool turns down: the message says why; nothing was written.
class Refusal : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

int usage() {
    std::fputs(usageText, stderr);
    return 2;
}

// The field's value, or the name of the error that kept it from being read.
Json field(const std::function<Json()> &read) {
    try {
        return read();
    } catch (...) {
        return errorName(std::current_exception());
    }
}

// The timecode players start the movie at, with its track: the referenced track's first
// timecode, else the first of any track. `timecodes` are the asset's, one list a track.
struct Start {
    uint32_t trackID;
    Timecode timecode;
};

std::optional<Start> startOf(const MediaAsset &asset,
                             const std::vector<std::vector<Timecode>> &timecodes) {
    const std::vector<MediaTrack> tracks = asset.tracks(MediaType::timecode);
    const std::optional<uint32_t> referenced = asset.referencedTimecodeTrackID();
    for (const bool anyTrack : {false, true}) {
        for (size_t i = 0; i < tracks.size() && i < timecodes.size(); ++i) {
            if ((anyTrack || tracks[i].trackID() == referenced) && !timecodes[i].empty()) {
                return Start{tracks[i].trackID(), timecodes[i].front()};
            }
        }
    }
    return std::nullopt;
}

int probe(const char *path) {
    const auto asset = MediaAsset::open(path);
    // Every timecode track's samples, read once for the start and for the list.
    std::vector<std::vector<Timecode>> timecodes;
    std::exception_ptr timecodesUnread;
    try {
        timecodes = asset->timecodes(std::nullopt, kBase, kLimit);
    } catch (...) {
        timecodesUnread = std::current_exception();
    }
    Json start;
    Json startTrack;
    std::optional<Start> found;
    try {
        if (timecodesUnread) {
            std::rethrow_exception(timecodesUnread);
        }
        found = startOf(*asset, timecodes);
        if (found) {
            start = found->timecode.stringValue();
            startTrack = found->trackID;
        }
    } catch (...) {
        start = startTrack = errorName(std::current_exception());
    }
    // One rate for the start, its end and the duration: the start's own, else the movie's.
    std::optional<TimecodeFrameRate> rate;
    std::exception_ptr rateUnread;
    try {
        rate = found ? found->timecode.frameRate() : asset->timecodeFrameRate();
    } catch (...) {
        rateUnread = std::current_exception();
    }
    const auto atRate = [&](const std::function<Json(TimecodeFrameRate)> &read) {
        return field([&] {
            if (rateUnread) {
                std::rethrow_exception(rateUnread);
            }
            return read(*rate);
        });
    };

    Json json;
    json["timecodeFrameRate"] =
        atRate([](TimecodeFrameRate r) { return std::string(r.rawValue()); });
    json["drop"] = rate ? rate->isDrop() : asset->isTimecodeFrameRateDropFrame();
    json["videoFrameRate"] = field([&] { return std::string(asset->videoFrameRate().rawValue()); });
    json["interlaced"] = asset->isVideoInterlaced();
    json["start"] = start;
    json["startTrackID"] = startTrack;
    json["end"] = found ? atRate([&](TimecodeFrameRate r) {
        return (found->timecode + asset->durationTimecode(r, kBase, kLimit)).stringValue();
    })
                        : start;
    json["duration"] = atRate([&](TimecodeFrameRate r) {
        return asset->durationTimecode(r, kBase, kLimit).stringValue();
    });
    json["timecodes"] = field([&] {
        if (timecodesUnread) {
            std::rethrow_exception(timecodesUnread);
        }
        Json tracks = Json::array();
        for (const auto &track : timecodes) {
            Json timecodes = Json::array();
            for (const Timecode &timecode : track) {
                timecodes.push_back(timecode.stringValue());
            }
            tracks.push_back(std::move(timecodes));
        }
        return tracks;
    });
    json["timecodeTracks"] = field([&] {
        Json tracks = Json::array();
        for (const MediaTrack &track : asset->tracks(MediaType::timecode)) {
            // A track without a rate of its own is read at the movie's.
            const TimecodeFrameRate rate =
                track.ownTimecodeFrameRate().value_or(asset->timecodeFrameRate());
            tracks.push_back({{"trackID", track.trackID()},
                              {"timecodeFrameRate", rate.rawValue()},
                              {"drop", rate.isDrop()}});
        }
        return tracks;
    });
    std::printf("%s\n", json.dump(2).c_str());
    return 0;
}

// Why the text names a frame that drop-frame counting skips at the rate; nothing when it does
// not (it may still be invalid otherwise).
std::optional<std::string> skippedDropFrameLabel(std::string_view text, TimecodeFrameRate rate) {
    if (!rate.isDrop()) {
        return std::nullopt;
    }
    const Timecode loose(FormattedTimecodeSourceValue::string(text), rate, kBase, kLimit,
                         Timecode::ValidationRule::allowingInvalid);
    const Timecode::Components &c = loose.components();
    const auto dropped = static_cast<int64_t>(rate.framesDroppedPerMinute());
    if (loose.invalidComponents() != Timecode::Component::Set{Timecode::Component::frames} ||
        c.seconds != 0 || c.minutes % 10 == 0 || c.frames < 0 || c.frames >= dropped) {
        return std::nullopt;
    }
    const Timecode next(TimecodeSourceValue::components(c.days, c.hours, c.minutes, 0, dropped, 0),
                        rate, kBase, kLimit);
    const Timecode previous(TimecodeSourceValue::frames(next.frameCount().wholeFrames() - 1), rate,
                            kBase, kLimit);
    const int digits = rate.numberOfDigits();
    char first[8];
    char last[8];
    std::snprintf(first, sizeof first, "%0*d", digits, 0);
    std::snprintf(last, sizeof last, "%0*lld", digits, static_cast<long long>(dropped - 1));
    return std::string(text) + " does not exist at " + std::string(rate.rawValue()) +
           ": drop-frame counting skips the frame labels " + first +
           (dropped == 2 ? " and " : " to ") + last +
           " at the start of every minute except each tenth, so " + previous.stringValue() +
           " is followed by " + next.stringValue();
}

Timecode parsed(std::string_view text, TimecodeFrameRate rate) {
    try {
        return Timecode(FormattedTimecodeSourceValue::string(text), rate, kBase, kLimit);
    } catch (const Timecode::ValidationError &) {
        if (const auto why = skippedDropFrameLabel(text, rate)) {
            throw Refusal(*why);
        }
        throw;
    }
}

// A timecode rate other than the video's is written only when the user asked for it: a count
// at another rate labels frames that are not the movie's.
void checkRate(const MediaAsset &asset, TimecodeFrameRate rate) {
    if (asset.tracks(MediaType::video).empty()) {
        return;
    }
    std::optional<VideoFrameRate> video;
    try {
        video = asset.videoFrameRate();
    } catch (const MediaParseError &) {
    }
    if (video && video->timecodeFrameRate(rate.isDrop()) == rate) {
        return;
    }
    const std::string videoRate = video ? "the video's rate " + std::string(video->rawValue())
                                        : "the video's rate, which no timecode rate matches";
    throw Refusal("the timecode rate " + std::string(rate.rawValue()) + " is not " + videoRate +
                  "; give --allow-other-rate to write it all the same");
}

int write(int argc, char **argv) {
    const char *path = argv[2];
    const std::string_view start = argv[3];
    const size_t at = start.rfind('@');
    const auto rate = at == std::string_view::npos
                          ? std::nullopt
                          : TimecodeFrameRate::fromRawValue(start.substr(at + 1));
    if (!rate) {
        std::fprintf(stderr, "tandrel-timecode: %s is not START@RATE with a timecode frame rate\n",
                     argv[3]);
        return 2;
    }
    std::optional<std::string_view> duration;
    bool replacing = false;
    bool anyRate = false;
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--replace") == 0) {
            replacing = true;
        } else if (std::strcmp(argv[i], "--allow-other-rate") == 0) {
            anyRate = true;
        } else if (std::strcmp(argv[i], "--duration") == 0 && i + 1 < argc) {
            duration = argv[++i];
        } else {
            return usage();
        }
    }
    const Timecode startTimecode = parsed(start.substr(0, at), *rate);
    const std::optional<Timecode> length =
        duration ? std::optional(parsed(*duration, *rate)) : std::nullopt;
    if (!anyRate) {
        checkRate(*MediaAsset::open(path), *rate);
    }
    MutableMovie movie = MutableMovie::open(path);
    const bool wasFastStart = movie.isFastStart();
    const MediaTrack track =
        replacing
            ? movie.replaceTimecodeTrack(startTimecode, length, std::nullopt, movie.fileType())
            : movie.addTimecodeTrack(startTimecode, length, std::nullopt, movie.fileType());
    movie.save();
    if (wasFastStart && !movie.isFastStart()) {
        std::fprintf(stderr,
                     "tandrel-timecode: %s is no longer fast-start (its index now follows its "
                     "media, so it cannot play before it is whole): %s\n",
                     path, movie.fastStartLost().c_str());
    }
    Json json;
    json["trackID"] = track.trackID();
    json["start"] = startTimecode.stringValue();
    json["timecodeFrameRate"] = rate->rawValue();
    json["duration"] = track.timeRange().duration.seconds();
    json["replaced"] = replacing;
    json["fastStart"] = movie.isFastStart();
    std::printf("%s\n", json.dump(2).c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    // libavformat's own lines would come before ours and say less: a file that is no movie is
    // reported once, by the error we throw.
    av_log_set_level(AV_LOG_QUIET);
    try {
        if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
            std::fputs(usageText, stdout);
            std::fputs(helpText, stdout);
            return 0;
        }
        if (argc == 3 && std::strcmp(argv[1], "probe") == 0) {
            return probe(argv[2]);
        }
        if (argc >= 4 && std::strcmp(argv[1], "write") == 0) {
            return write(argc, argv);
        }
        return usage();
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tandrel-timecode: %s\n", error.what());
        return 1;
    }
}
