// tandrel-fxhost: plays the editor for the burn-in effect. Loads the effect module with
// dlopen, gives it a timeline rate and times through the timing interface, calls the state
// and render entry points for every frame (from several threads when asked), composites each
// rendered tile over a test pattern and writes it as a PNG. See HostOptions::usage().

#include "core/support/Json.h"
#include "core/support/Log.h"
#include "platform/fxplug/SimulatedEditor.h"
#include "tools/tandrel-fxhost/EffectModule.h"
#include "tools/tandrel-fxhost/FramePicture.h"
#include "tools/tandrel-fxhost/HostOptions.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <mutex>
#include <thread>

namespace fs = std::filesystem;
using namespace tandrel;
using namespace tandrel::fxhost;

namespace {

// The module built beside this program: build/<kind>/bin/tandrel-fxhost and
// build/<kind>/lib/TandrelPlugin.so.
fs::path defaultModule() {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path("TandrelPlugin.so")
                 : self.parent_path().parent_path() / "lib" / "TandrelPlugin.so";
}

// The status text a state carries, for the log; empty for a state that draws the burn-in.
std::string statusOf(const platform::FxData &state) {
    const Json json = Json::parse(state.begin(), state.end(), nullptr, false);
    if (json.is_object() && json.value("isStatus", false) && json.contains("metadata")) {
        return json["metadata"].value("sourceClipName", "");
    }
    return {};
}

std::string pictureName(std::size_t index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05zu.png", index);
    return name;
}

class Render {
public:
    Render(const HostOptions &options, platform::FxTileableEffect &effect)
        : options_(options), effect_(effect) {}

    // Renders every frame; false when one failed.
    bool run() {
        std::vector<std::thread> threads;
        for (int i = 1; i < options_.threads; ++i) {
            threads.emplace_back([this] { work(); });
        }
        work();
        for (std::thread &thread : threads) {
            thread.join();
        }
        return !failed_;
    }

private:
    void work() {
        const auto surface =
            platform::Surface::create(options_.width, options_.height, options_.pixelFormat);
        if (!surface) {
            report("cannot make a surface of " + std::to_string(options_.width) + "x" +
                   std::to_string(options_.height));
            return;
        }
        const platform::FxRect bounds{0, 0, options_.width, options_.height};
        const platform::FxImageTile tile(surface, platform::systemDeviceRegistryID, bounds, bounds,
                                         options_.origin);
        FramePicture picture(options_.width, options_.height);
        for (std::size_t index = next_++; index < options_.frames.size() && !failed_;
             index = next_++) {
            try {
                renderFrame(index, tile, picture);
            } catch (const std::exception &error) {
                report(error.what());
            }
        }
    }

    void renderFrame(std::size_t index, const platform::FxImageTile &tile, FramePicture &picture) {
        const int64_t frame = options_.frames[index];
        const auto [num, den] = options_.rate.value_or(std::make_pair(24u, 1u));
        const platform::CMTime time =
            platform::CMTime::make(frame * den, static_cast<int32_t>(num));
        platform::FxData state;
        platform::FxRect rect;
        if (!effect_.pluginState(&state, time, platform::FxQuality::high, nullptr) ||
            !effect_.destinationImageRect(&rect, {}, tile, &state, time, nullptr) ||
            !effect_.renderDestinationImage(tile, {}, &state, time, nullptr)) {
            throw std::runtime_error("the effect failed frame " + std::to_string(frame));
        }
        picture.composite(tile);
        const fs::path path = options_.outputDirectory / pictureName(index);
        picture.writePNG(path);
        if (!options_.quiet) {
            const std::string status = statusOf(state);
            std::lock_guard guard(printing_);
            // The status names the timeline, whatever it holds.
            std::printf("%s  frame %lld%s%s\n", path.c_str(), static_cast<long long>(frame),
                        status.empty() ? "" : "  status: ", shownLogLine(status).c_str());
        }
    }

    void report(const std::string &message) {
        std::lock_guard guard(printing_);
        std::fprintf(stderr, "tandrel-fxhost: %s\n", shownLogLine(message).c_str());
        failed_ = true;
    }

    const HostOptions &options_;
    platform::FxTileableEffect &effect_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> failed_{false};
    std::mutex printing_;
};

int run(const HostOptions &options) {
    fs::create_directories(options.outputDirectory);
    EffectModule module(options.module);
    std::optional<platform::SimulatedEditor::Timeline> timeline;
    if (options.rate) {
        timeline = platform::SimulatedEditor::Timeline{options.rate->first, options.rate->second};
    }
    platform::SimulatedEditor editor(timeline, options.projectAPI);
    const auto effect = module.create("TandrelPluginRenderer", &editor);
    if (!effect) {
        std::fprintf(stderr, "tandrel-fxhost: %s makes no \"TandrelPluginRenderer\"\n",
                     options.module.c_str());
        return 1;
    }
    platform::FxProperties properties;
    if (!effect->addParameters(nullptr) || !effect->properties(&properties, nullptr)) {
        std::fprintf(stderr, "tandrel-fxhost: the effect refused to start\n");
        return 1;
    }

    const auto started = std::chrono::steady_clock::now();
    Render render(options, *effect);
    const bool ok = render.run();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::size_t count = options.frames.size();
    std::printf("Rendered %zu frames of %dx%d from %d thread%s in %.2f s (%.1f ms a frame, "
                "PNG writing included) into %s\n",
                count, options.width, options.height, options.threads,
                options.threads == 1 ? "" : "s", seconds,
                count == 0 ? 0.0 : seconds * 1000 / static_cast<double>(count),
                options.outputDirectory.c_str());
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (std::find(arguments.begin(), arguments.end(), "--help") != arguments.end()) {
        std::fputs(HostOptions::usage(), stdout);
        return 0;
    }
    try {
        const HostOptions options = HostOptions::parse(arguments, defaultModule());
        return run(options);
    } catch (const std::invalid_argument &error) {
        std::fprintf(stderr, "tandrel-fxhost: %s\n%s", error.what(), HostOptions::usage());
        return 2;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "tandrel-fxhost: %s\n", error.what());
        return 1;
    }
}
