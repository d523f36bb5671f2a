// Frames of burn-in with the built-in "Conform" preset over clips whose names an attacker
// wrote (tests' table of hostile names: long runs of combining marks, of Hangul jamo and of
// emoji joined by ZWJ, prepend marks, bidirectional controls, controls, line breaks, 10 MiB
// of plain text), each against a clip with an ordinary long name of 300 characters in the
// same run: the effect's state call and render call through the loaded module at
// 1920×1080 BGRA8. Each clip alternates frame by frame with one whose name differs at its
// start, so every frame lays its names out anew (a texture-cache miss), as a first frame does.

#include "bench/LoadedPlugin.h"
#include "core/model/BundledPresets.h"
#include "core/tests/HostileTexts.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using namespace tandrel;

constexpr int rate = 25;

struct NamedCase {
    std::string id;
    std::string name;
};

// The ordinary name first, then the hostile ones.
const std::vector<NamedCase> &cases() {
    static const std::vector<NamedCase> all = [] {
        std::vector<NamedCase> made{{"ordinary_300", testing::ordinaryLongName()}};
        for (const auto &hostile : testing::hostileTexts()) {
            std::string id = hostile.what;
            std::replace_if(
                id.begin(), id.end(),
                [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
            made.push_back({id, hostile.text});
        }
        return made;
    }();
    return all;
}

// Two one-frame clips per case from 10:00:00:00, the name and the name after "2 ", both also
// as the clip's file name.
TandrelSnapshot namesSnapshot() {
    TandrelSnapshot snapshot;
    snapshot.timelineID = "names";
    snapshot.timelineName = "Names";
    snapshot.timelineStartTimecode = "10:00:00:00";
    int64_t frame = 0;
    for (const NamedCase &c : cases()) {
        for (int variant = 0; variant < 2; ++variant, ++frame) {
            SnapshotEntry entry;
            const int64_t step = RationalTime::snapshotTimescale / rate;
            entry.tlStart = {frame * step, RationalTime::snapshotTimescale};
            entry.tlEnd = {(frame + 1) * step, RationalTime::snapshotTimescale};
            entry.srcStartFrame = 25 * 3600;
            entry.srcSpeed = 1;
            entry.srcRate = "25";
            entry.srcFpsNum = rate;
            entry.srcFpsDen = 1;
            entry.metadata.sourceClipName = variant == 0 ? c.name : "2 " + c.name;
            entry.metadata.sourceFileName = entry.metadata.sourceClipName;
            entry.metadata.frameRate = rate;
            snapshot.entries.push_back(std::move(entry));
        }
    }
    const auto &presets = BundledPresets::table();
    snapshot.displayConfig = *std::find_if(presets.begin(), presets.end(), [](const auto &preset) {
        return preset.name == "Conform";
    });
    return snapshot;
}

bench::LoadedPlugin &plugin() {
    static bench::LoadedPlugin loaded(namesSnapshot(), rate);
    return loaded;
}

void frames(benchmark::State &state, std::size_t index) {
    platform::FxTileableEffect &effect = plugin().effect();
    const auto surface = platform::Surface::create(1920, 1080, platform::Surface::formatBGRA);
    const platform::FxRect bounds{0, 0, 1920, 1080};
    const platform::FxImageTile tile(surface, platform::systemDeviceRegistryID, bounds, bounds);
    const int64_t first = 10LL * 3600 * rate + 2 * static_cast<int64_t>(index);
    platform::FxData pluginState;
    // Once before: the first frame of the run loads the snapshot and the fonts.
    for (int64_t warm = 0; warm < 2; ++warm) {
        const platform::CMTime time = platform::CMTime::make(first + warm, rate);
        effect.pluginState(&pluginState, time, platform::FxQuality::high, nullptr);
        effect.renderDestinationImage(tile, {}, &pluginState, time, nullptr);
    }
    int64_t variant = 0;
    for (auto _ : state) {
        const platform::CMTime time = platform::CMTime::make(first + variant, rate);
        effect.pluginState(&pluginState, time, platform::FxQuality::high, nullptr);
        effect.renderDestinationImage(tile, {}, &pluginState, time, nullptr);
        benchmark::DoNotOptimize(surface->baseAddress());
        variant = 1 - variant;
    }
    if (pluginState.empty() ||
        std::string(pluginState.begin(), pluginState.end()).find("\"isStatus\":false") ==
            std::string::npos) {
        state.SkipWithError("the effect drew no burn-in");
    }
}

const bool registered = [] {
    for (std::size_t i = 1; i < cases().size(); ++i) {
        const std::string &id = cases()[i].id;
        benchmark::RegisterBenchmark((id + "/ours").c_str(), frames, i)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((id + "/ordinary_300").c_str(), frames, 0)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace
