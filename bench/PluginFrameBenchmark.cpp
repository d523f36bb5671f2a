// One frame of burn-in as the editor asks for it: the effect's state call and render call
// through the loaded module, at 1920×1080 BGRA8 and 3840×2160 RGBA16F, with two timecode
// texts that change every frame (both rasterised anew: texture-cache misses) and with the
// same frame again (both from the cache). In the same run:
//   memset    clearing the destination frame, the least any transparent overlay costs;
//   drawtext  FFmpeg's drawtext filter burning two texts with boxes into frames of the same
//             size through libavfilter: two running timecodes, or two fixed texts.
// At 2160p the peer runs in gbrap16le, the deepest RGBA format its drawing code takes (8
// bytes a pixel, as RGBA16F).

#include "bench/LoadedPlugin.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace tandrel;

constexpr const char *fontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
constexpr int fontSize = 48;

struct FrameSize {
    const char *name;
    int width;
    int height;
    uint32_t surfaceFormat;
    AVPixelFormat peerFormat;
};

const FrameSize hd{"1080p_bgra8", 1920, 1080, platform::Surface::formatBGRA, AV_PIX_FMT_BGRA};
const FrameSize uhd{"2160p_rgba16f", 3840, 2160, platform::Surface::formatRGhA,
                    AV_PIX_FMT_GBRAP16LE};

// A one-hour snapshot from 10:00:00:00 with two timecode elements.
TandrelSnapshot benchSnapshot() {
    TandrelSnapshot snapshot;
    snapshot.timelineID = "bench";
    snapshot.timelineName = "Bench";
    snapshot.timelineStartTimecode = "10:00:00:00";
    SnapshotEntry entry;
    entry.tlStart = {0, RationalTime::snapshotTimescale};
    entry.tlEnd = {3600LL * RationalTime::snapshotTimescale, RationalTime::snapshotTimescale};
    entry.srcStartFrame = 25 * 3600;
    entry.srcSpeed = 1;
    entry.srcRate = "25";
    entry.srcFpsNum = 25;
    entry.srcFpsDen = 1;
    entry.metadata.sourceClipName = "A001_C001";
    entry.metadata.frameRate = 25;
    snapshot.entries = {entry};
    BurnInElement source(MetadataField::sourceTC);
    source.label = "SRC";
    source.fontSize = fontSize;
    BurnInElement record(MetadataField::projectTC);
    record.label = "REC";
    record.fontSize = fontSize;
    record.posX = 0.6;
    snapshot.displayConfig.elements = {source, record};
    return snapshot;
}

bench::LoadedPlugin &plugin() {
    static bench::LoadedPlugin loaded(benchSnapshot(), 25);
    return loaded;
}

void ours(benchmark::State &state, FrameSize size, bool changing) {
    platform::FxTileableEffect &effect = plugin().effect();
    const auto surface = platform::Surface::create(size.width, size.height, size.surfaceFormat);
    const platform::FxRect bounds{0, 0, size.width, size.height};
    const platform::FxImageTile tile(surface, platform::systemDeviceRegistryID, bounds, bounds);
    int64_t frame = 10LL * 3600 * 25;
    platform::FxData pluginState;
    for (auto _ : state) {
        const platform::CMTime time = platform::CMTime::make(frame, 25);
        effect.pluginState(&pluginState, time, platform::FxQuality::high, nullptr);
        effect.renderDestinationImage(tile, {}, &pluginState, time, nullptr);
        benchmark::DoNotOptimize(surface->baseAddress());
        frame += changing ? 1 : 0;
    }
    if (pluginState.empty() ||
        std::string(pluginState.begin(), pluginState.end()).find("\"isStatus\":false") ==
            std::string::npos) {
        state.SkipWithError("the effect drew no burn-in");
    }
}

void floorMemset(benchmark::State &state, FrameSize size) {
    const auto surface = platform::Surface::create(size.width, size.height, size.surfaceFormat);
    const std::size_t bytes = surface->bytesPerRow() * static_cast<std::size_t>(size.height);
    for (auto _ : state) {
        std::memset(surface->baseAddress(), 0, bytes);
        benchmark::DoNotOptimize(surface->baseAddress());
        benchmark::ClobberMemory();
    }
}

// buffer → drawtext → drawtext → buffersink, one frame circulating through it: drawtext draws
// in place into the frame it is given, so nothing but the drawing is measured.
class DrawtextGraph {
public:
    DrawtextGraph(const FrameSize &size, bool changing) : graph_(avfilter_graph_alloc()) {
        char arguments[256];
        std::snprintf(arguments, sizeof arguments,
                      "video_size=%dx%d:pix_fmt=%d:time_base=1/25:pixel_aspect=1/1", size.width,
                      size.height, size.peerFormat);
        check(avfilter_graph_create_filter(&source_, avfilter_get_by_name("buffer"), "in",
                                           arguments, nullptr, graph_),
              "buffer");
        check(avfilter_graph_create_filter(&sink_, avfilter_get_by_name("buffersink"), "out",
                                           nullptr, nullptr, graph_),
              "buffersink");
        const std::string look = std::string("fontfile=") + fontFile +
                                 ":fontsize=" + std::to_string(fontSize) +
                                 ":fontcolor=white:box=1:boxcolor=black@0.7:boxborderw=8";
        const std::string y = ":y=" + std::to_string(size.height * 95 / 100 - fontSize);
        const std::string source = changing ? ":text='SRC ':timecode='01\\:00\\:00\\:00':rate=25"
                                            : ":text='SRC A001_C001'";
        const std::string record =
            changing ? ":text='REC ':timecode='10\\:00\\:00\\:00':rate=25" : ":text='REC Bench'";
        const std::string description =
            "drawtext=" + look + source + ":x=" + std::to_string(size.width * 5 / 100) + y +
            ",drawtext=" + look + record + ":x=" + std::to_string(size.width * 60 / 100) + y;
        AVFilterInOut *outputs = avfilter_inout_alloc();
        AVFilterInOut *inputs = avfilter_inout_alloc();
        outputs->name = av_strdup("in");
        outputs->filter_ctx = source_;
        inputs->name = av_strdup("out");
        inputs->filter_ctx = sink_;
        const int parsed =
            avfilter_graph_parse_ptr(graph_, description.c_str(), &inputs, &outputs, nullptr);
        avfilter_inout_free(&inputs);
        avfilter_inout_free(&outputs);
        check(parsed, "drawtext");
        check(avfilter_graph_config(graph_, nullptr), "graph");
        // buffer, buffersink and two drawtext: no format converter slipped in.
        if (graph_->nb_filters != 4) {
            throw std::runtime_error(std::string("drawtext does not draw in ") +
                                     av_get_pix_fmt_name(size.peerFormat));
        }
        frame_ = av_frame_alloc();
        frame_->format = size.peerFormat;
        frame_->width = size.width;
        frame_->height = size.height;
        check(av_frame_get_buffer(frame_, 0), "frame");
    }
    ~DrawtextGraph() {
        av_frame_free(&frame_);
        avfilter_graph_free(&graph_);
    }

    void drawFrame(int64_t pts) {
        frame_->pts = pts;
        check(av_buffersrc_add_frame(source_, frame_), "add frame");
        check(av_buffersink_get_frame(sink_, frame_), "get frame");
    }

private:
    static void check(int result, const char *what) {
        if (result < 0) {
            throw std::runtime_error(std::string("libavfilter failed: ") + what);
        }
    }

    AVFilterGraph *graph_;
    AVFilterContext *source_ = nullptr;
    AVFilterContext *sink_ = nullptr;
    AVFrame *frame_ = nullptr;
};

void peerDrawtext(benchmark::State &state, FrameSize size, bool changing) {
    try {
        DrawtextGraph graph(size, changing);
        int64_t pts = 0;
        for (auto _ : state) {
            graph.drawFrame(pts++);
        }
    } catch (const std::exception &error) {
        state.SkipWithError(error.what());
    }
}

const bool registered = [] {
    av_log_set_level(AV_LOG_ERROR);
    for (const FrameSize &size : {hd, uhd}) {
        for (const bool changing : {true, false}) {
            const std::string name =
                std::string(size.name) + (changing ? "_changing_text" : "_fixed_text");
            benchmark::RegisterBenchmark((name + "/ours").c_str(), ours, size, changing)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((name + "/memset").c_str(), floorMemset, size)
                ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark((name + "/drawtext").c_str(), peerDrawtext, size, changing)
                ->Unit(benchmark::kMillisecond);
        }
    }
    return true;
}();

} // namespace
