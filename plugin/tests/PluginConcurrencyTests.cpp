// The effect's entry points from many threads at once, as the editor calls them. These are the
// tests the ThreadSanitizer build runs.

#include "core/support/JsonText.h"
#include "platform/fxplug/FxModule.h"
#include "platform/fxplug/SimulatedEditor.h"
#include "plugin/TandrelRenderer.h"
#include "plugin/tests/SnapshotFixture.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <thread>

namespace tandrel {
namespace {

using namespace tandrel::testing;
using platform::CMTime;

// A ten-second timeline whose clip names and element label all start with `tag`.
std::string document(const std::string &tag) {
    TandrelSnapshot written = snapshot(
        "00:00:00:00", {clip(tag + "1", 0, 125), clip(tag + "2", 125, 250)}, "timeline " + tag);
    written.displayConfig.elements.at(0).label = tag;
    return encodeJsonText(Json(written));
}

TEST(PluginConcurrency, ConcurrentStateCallsWhileTheSnapshotIsRewritten) {
    SnapshotFolder folder;
    // A clock that has always moved on: every call examines the file, so reloads keep coming.
    std::atomic<int64_t> ticks{0};
    SnapshotProvider::Environment environment;
    environment.now = [&ticks] {
        return SnapshotProvider::Clock::time_point(std::chrono::seconds(++ticks));
    };
    const auto provider = SnapshotProvider::make(environment);
    platform::SimulatedEditor host(platform::SimulatedEditor::Timeline{25, 1}, false);
    TandrelRenderer effect(&host, *provider);

    const std::string documents[] = {document("A"), document("B")};
    folder.replaceQuickly(documents[0]);
    constexpr int rewrites = 400;
    std::atomic<bool> writing{true};
    std::atomic<int> states{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int64_t frame = t; writing || frame < t + 20; frame += 7) {
                platform::FxData data;
                effect.pluginState(&data, CMTime::make(frame % 250, 25), platform::FxQuality::high,
                                   nullptr);
                const Json state = Json::parse(data.begin(), data.end());
                // The record and the preset of one frame come from one and the same snapshot.
                ASSERT_EQ(state["isStatus"], false);
                const std::string tag = state["elements"][0]["label"];
                const std::string clip = state["metadata"]["sourceClipName"];
                ASSERT_EQ(clip.substr(0, 1), tag);
                ++states;
            }
        });
    }
    for (int i = 1; i <= rewrites; ++i) {
        folder.replaceQuickly(documents[i % 2]);
    }
    writing = false;
    for (std::thread &thread : threads) {
        thread.join();
    }
    EXPECT_GE(states, 160);

    // Once the reloads settle, the last file written is the one in use.
    platform::FxData data;
    effect.pluginState(&data, CMTime::make(0, 25), platform::FxQuality::high, nullptr);
    provider->waitForReloads();
    effect.pluginState(&data, CMTime::make(0, 25), platform::FxQuality::high, nullptr);
    EXPECT_EQ(Json::parse(data.begin(), data.end())["metadata"]["sourceClipName"],
              rewrites % 2 == 0 ? "A1" : "B1");
}

TEST(PluginConcurrency, ConcurrentStateAndRenderCallsOnOneEffectOfTheModule) {
    SnapshotFolder folder;
    folder.write(moduleSnapshot());
    void *module = dlopen(TANDREL_PLUGIN_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    const auto create = reinterpret_cast<platform::FxCreateEffectFunction>(
        dlsym(module, platform::fxCreateEffectSymbol));
    const auto destroy = reinterpret_cast<platform::FxDestroyEffectFunction>(
        dlsym(module, platform::fxDestroyEffectSymbol));
    platform::SimulatedEditor host(platform::SimulatedEditor::Timeline{25, 1}, false);
    platform::FxTileableEffect *effect = create("TandrelPluginRenderer", &host);
    ASSERT_NE(effect, nullptr);

    std::atomic<int> inkedFrames{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            const auto surface = platform::Surface::create(320, 180, platform::Surface::formatRGhA);
            const platform::FxRect bounds{0, 0, 320, 180};
            const platform::FxImageTile tile(surface, platform::systemDeviceRegistryID, bounds,
                                             bounds);
            for (int frame = t; frame < t + 40; frame += 4) {
                const CMTime time = CMTime::make(90'000 + frame, 25); // from 01:00:00:00
                platform::FxData state;
                effect->pluginState(&state, time, platform::FxQuality::high, nullptr);
                effect->renderDestinationImage(tile, {}, &state, time, nullptr);
                // A frame is drawn whole, or not at all when the queues were all busy.
                const auto *pixels = reinterpret_cast<const uint16_t *>(surface->baseAddress());
                for (int i = 0; i < 320 * 180; ++i) {
                    if (pixels[i * 4 + 3] != 0) {
                        ++inkedFrames;
                        break;
                    }
                }
            }
        });
    }
    for (std::thread &thread : threads) {
        thread.join();
    }
    destroy(effect);
    dlclose(module);
    EXPECT_GT(inkedFrames, 0);
}

} // namespace
} // namespace tandrel
