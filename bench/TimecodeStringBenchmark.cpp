// Timecode text at 29.97 drop-frame and 25 fps: a frame number to its text and text back to a
// frame number, ours against FFmpeg's timecode functions on the same frames. Each iteration
// handles the same 1,000 frames spread over the day.

#include "timecode/core/Timecode.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavutil/timecode.h>
}

#include <cstdlib>
#include <string>
#include <vector>

using namespace timecode;

namespace {

struct Rate {
    TimecodeFrameRate ours;
    AVRational peer;
    int peerFlags;
};

const Rate drop2997{TimecodeFrameRate::fps29_97d,
                    {30000, 1001},
                    AV_TIMECODE_FLAG_DROPFRAME | AV_TIMECODE_FLAG_24HOURSMAX};
const Rate whole25{TimecodeFrameRate::fps25, {25, 1}, AV_TIMECODE_FLAG_24HOURSMAX};

// The plug-in's properties: 100 sub-frames, 24 hours.
Timecode::Properties properties(const Rate &rate) {
    return Timecode::Properties(rate.ours, Timecode::SubFramesBase::max100SubFrames,
                                Timecode::UpperLimit::max24Hours);
}

std::vector<int> framesOfTheDay(const Rate &rate) {
    const auto day = static_cast<int>(rate.ours.maxTotalFrames(Timecode::UpperLimit::max24Hours));
    std::vector<int> frames;
    for (int i = 0; i < 1000; ++i) {
        frames.push_back(static_cast<int>((int64_t{i} * 7919 * 997) % day));
    }
    return frames;
}

AVTimecode peerTimecode(const Rate &rate) {
    AVTimecode timecode;
    if (av_timecode_init(&timecode, rate.peer, rate.peerFlags, 0, nullptr) != 0) {
        std::abort();
    }
    return timecode;
}

// The texts both sides read: ours, which must equal the peer's.
std::vector<std::string> textsOfTheDay(const Rate &rate) {
    const AVTimecode peer = peerTimecode(rate);
    std::vector<std::string> texts;
    for (int frame : framesOfTheDay(rate)) {
        const std::string text =
            Timecode(TimecodeSourceValue::frames(frame), properties(rate)).stringValue();
        char buffer[AV_TIMECODE_STR_SIZE];
        if (text != av_timecode_make_string(&peer, buffer, frame)) {
            std::abort();
        }
        texts.push_back(text);
    }
    return texts;
}

void formatOurs(benchmark::State &state, const Rate &rate) {
    const std::vector<int> frames = framesOfTheDay(rate);
    const Timecode::Properties at = properties(rate);
    for (auto _ : state) {
        for (int frame : frames) {
            const Timecode timecode(TimecodeSourceValue::frames(frame), at,
                                    Timecode::ValidationRule::clamping);
            benchmark::DoNotOptimize(timecode.stringValue());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(frames.size()));
}

void formatPeer(benchmark::State &state, const Rate &rate) {
    const std::vector<int> frames = framesOfTheDay(rate);
    const AVTimecode timecode = peerTimecode(rate);
    char buffer[AV_TIMECODE_STR_SIZE];
    for (auto _ : state) {
        for (int frame : frames) {
            benchmark::DoNotOptimize(av_timecode_make_string(&timecode, buffer, frame));
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(frames.size()));
}

void parseOurs(benchmark::State &state, const Rate &rate) {
    const std::vector<std::string> texts = textsOfTheDay(rate);
    const Timecode::Properties at = properties(rate);
    for (auto _ : state) {
        for (const std::string &text : texts) {
            const Timecode timecode(FormattedTimecodeSourceValue::string(text), at);
            benchmark::DoNotOptimize(timecode.frameCount().wholeFrames());
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}

void parsePeer(benchmark::State &state, const Rate &rate) {
    const std::vector<std::string> texts = textsOfTheDay(rate);
    for (auto _ : state) {
        for (const std::string &text : texts) {
            AVTimecode timecode;
            if (av_timecode_init_from_string(&timecode, rate.peer, text.c_str(), nullptr) != 0) {
                state.SkipWithError("the peer refused a timecode");
                return;
            }
            benchmark::DoNotOptimize(timecode.start);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(texts.size()));
}

} // namespace

BENCHMARK_CAPTURE(formatOurs, ours, drop2997)->Name("Format/29.97d/ours");
BENCHMARK_CAPTURE(formatPeer, ffmpeg, drop2997)->Name("Format/29.97d/ffmpeg");
BENCHMARK_CAPTURE(formatOurs, ours, whole25)->Name("Format/25/ours");
BENCHMARK_CAPTURE(formatPeer, ffmpeg, whole25)->Name("Format/25/ffmpeg");
BENCHMARK_CAPTURE(parseOurs, ours, drop2997)->Name("Parse/29.97d/ours");
BENCHMARK_CAPTURE(parsePeer, ffmpeg, drop2997)->Name("Parse/29.97d/ffmpeg");
BENCHMARK_CAPTURE(parseOurs, ours, whole25)->Name("Parse/25/ours");
BENCHMARK_CAPTURE(parsePeer, ffmpeg, whole25)->Name("Parse/25/ffmpeg");
