// tandrel-timecode: the timecode of movies from the command line.
//   tandrel-timecode probe FILE
//       the movie's rates and timecodes as one JSON object; a field that cannot be read holds
//       the name of its error
//   tandrel-timecode write FILE START@RATE [--duration TIMECODE] [--replace]
//       adds a timecode track starting at START (at RATE, "25", "29.97d", ...), lasting the
//       duration or else the movie; --replace drops the movie's other timecode tracks
// Timecodes are read and written with 100 sub-frames and a 24-hour limit.

#include "timecode/av/ErrorName.h"
#include "timecode/av/MediaAsset.h"
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
#include <string>
#include <string_view>

namespace {

using namespace timecode;
using Json = nlohmann::ordered_json;

constexpr Timecode::SubFramesBase kBase = Timecode::SubFramesBase::max100SubFrames;
constexpr Timecode::UpperLimit kLimit = Timecode::UpperLimit::max24Hours;

int usage() {
    std::fprintf(stderr, "usage: tandrel-timecode probe FILE\n"
                         "       tandrel-timecode write FILE START@RATE [--duration TIMECODE] "
                         "[--replace]\n");
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

Json text(const std::optional<Timecode> &timecode) {
    return timecode ? Json(timecode->stringValue()) : Json();
}

int probe(const char *path) {
    const auto asset = MediaAsset::open(path);
    Json json;
    json["timecodeFrameRate"] =
        field([&] { return std::string(asset->timecodeFrameRate().rawValue()); });
    json["drop"] = asset->isTimecodeFrameRateDropFrame();
    json["videoFrameRate"] = field([&] { return std::string(asset->videoFrameRate().rawValue()); });
    json["interlaced"] = asset->isVideoInterlaced();
    json["start"] = field([&] { return text(asset->startTimecode(std::nullopt, kBase, kLimit)); });
    json["end"] = field([&] { return text(asset->endTimecode(std::nullopt, kBase, kLimit)); });
    json["duration"] =
        field([&] { return asset->durationTimecode(std::nullopt, kBase, kLimit).stringValue(); });
    json["timecodes"] = field([&] {
        Json tracks = Json::array();
        for (const auto &track : asset->timecodes(std::nullopt, kBase, kLimit)) {
            Json timecodes = Json::array();
            for (const Timecode &timecode : track) {
                timecodes.push_back(timecode.stringValue());
            }
            tracks.push_back(std::move(timecodes));
        }
        return tracks;
    });
    std::printf("%s\n", json.dump(2).c_str());
    return 0;
}

Timecode parsed(std::string_view text, TimecodeFrameRate rate) {
    return Timecode(FormattedTimecodeSourceValue::string(text), rate, kBase, kLimit);
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
    for (int i = 4; i < argc; ++i) {
        if (std::strcmp(argv[i], "--replace") == 0) {
            replacing = true;
        } else if (std::strcmp(argv[i], "--duration") == 0 && i + 1 < argc) {
            duration = argv[++i];
        } else {
            return usage();
        }
    }
    const Timecode startTimecode = parsed(start.substr(0, at), *rate);
    const std::optional<Timecode> length =
        duration ? std::optional(parsed(*duration, *rate)) : std::nullopt;
    MutableMovie movie = MutableMovie::open(path);
    const MediaTrack track =
        replacing
            ? movie.replaceTimecodeTrack(startTimecode, length, std::nullopt, movie.fileType())
            : movie.addTimecodeTrack(startTimecode, length, std::nullopt, movie.fileType());
    movie.save();
    Json json;
    json["trackID"] = track.trackID();
    json["start"] = startTimecode.stringValue();
    json["timecodeFrameRate"] = rate->rawValue();
    json["duration"] = track.timeRange().duration.seconds();
    json["replaced"] = replacing;
    std::printf("%s\n", json.dump(2).c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    // libavformat's own notes would interleave with the output.
    av_log_set_level(AV_LOG_ERROR);
    try {
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
