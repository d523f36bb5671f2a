#include "core/model/BundledPresets.h"
#include "core/tests/HostileTexts.h"
#include "core/tests/ResolverFixture.h"
#include "platform/fxplug/FxModule.h"
#include "platform/fxplug/FxProjectAPI_v2.h"
#include "platform/fxplug/FxTimingAPI_v4.h"
#include "plugin/MetalDeviceCache.h"
#include "plugin/OverlayRenderer.h"
#include "plugin/TandrelRenderer.h"
#include "plugin/tests/SnapshotFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>

namespace tandrel {
namespace {

using namespace tandrel::testing;
using platform::CMTime;

// The editor as a test plays it: a timing interface (or none, or an object of the wrong kind
// under its name) and a project interface.
class FakeHost final : public platform::PROAPIAccessing {
public:
    struct Timing final : platform::FxTimingAPI_v4 {
        unsigned int num = 25;
        unsigned int den = 1;
        // What timelineTime gives; the input time itself when absent.
        std::optional<CMTime> converted;
        unsigned int timelineFpsNumeratorForEffect(const platform::FxTileableEffect *) override {
            return num;
        }
        unsigned int timelineFpsDenominatorForEffect(const platform::FxTileableEffect *) override {
            return den;
        }
        void timelineTime(CMTime *timelineTime, CMTime fromInputTime) override {
            *timelineTime = converted.value_or(fromInputTime);
        }
    };
    struct Project final : platform::FxProjectAPI_v2 {
        bool documentID(uint64_t *id, platform::Error *) override {
            *id = 7;
            return true;
        }
    };
    struct Stranger final : platform::FxAPIObject {};

    enum class Gives { timing, nothing, stranger };
    Gives gives = Gives::timing;
    Timing timing;
    Project project;
    Stranger stranger;

    platform::FxAPIObject *apiForProtocol(std::string_view name) override {
        if (name == platform::FxProjectAPI_v2::protocolName) {
            return &project;
        }
        if (name != platform::FxTimingAPI_v4::protocolName || gives == Gives::nothing) {
            return nullptr;
        }
        return gives == Gives::timing ? static_cast<platform::FxAPIObject *>(&timing) : &stranger;
    }
};

Json stateJSON(const platform::FxData &data) {
    return Json::parse(data.begin(), data.end());
}

int inkedPixels(const platform::Surface &surface) {
    int inked = 0;
    for (int y = 0; y < surface.height(); ++y) {
        const std::byte *row = surface.baseAddress() + surface.bytesPerRow() * y;
        for (int x = 0; x < surface.width(); ++x) {
            inked += row[x * 4 + 3] != std::byte{0};
        }
    }
    return inked;
}

struct TandrelRendererTest : ::testing::Test {
    SnapshotFolder folder;
    ManualClock clock;
    std::shared_ptr<SnapshotProvider> provider = testing::provider(clock);
    FakeHost host;
    TandrelRenderer effect{&host, *provider};

    // The state at frame `frame` of the host's timeline.
    Json stateAt(int64_t frame) {
        platform::FxData data;
        EXPECT_TRUE(effect.pluginState(
            &data, CMTime::make(frame * host.timing.den, static_cast<int32_t>(host.timing.num)),
            platform::FxQuality::high, nullptr));
        return stateJSON(data);
    }
};

TEST_F(TandrelRendererTest, StatusTextsReachTheStateByteForByte) {
    struct Case {
        const char *when;
        std::optional<TandrelSnapshot> written;
        unsigned int num;
        int64_t frame;
        std::string text;
    };
    const Case cases[] = {
        {"no snapshot", std::nullopt, 25, 0, "Embrik: start Host app + select a timeline"},
        {"unsupported rate", snapshot("", {clip("A", 0, 250)}), 120, 0,
         "Embrik: unsupported timeline frame rate (120/1)"},
        {"no entries", snapshot("", {}), 25, 0,
         "Embrik: no clips found in 'Reel 1' \xE2\x80\x94 re-select the timeline in the Host"},
        {"no start fits", snapshot("", {clip("A", 0, 250)}), 25, 5 * 90'000,
         "Embrik: playhead 05:00:00:00 doesn't fit this timeline \xE2\x80\x94 set Project start "
         "TC in the Host"},
        {"gap", snapshot("", {clip("A", 0, 10), clip("B", 20, 30)}), 25, 15,
         "Embrik: gap (no clip at playhead)"},
    };
    for (const Case &c : cases) {
        std::filesystem::remove(folder.legacyFile());
        if (c.written) {
            folder.write(*c.written);
        }
        host.timing.num = c.num;
        // A provider of its own for each case: its first snapshot loads at once.
        const auto fresh = testing::provider(clock);
        TandrelRenderer caseEffect(&host, *fresh);
        platform::FxData data;
        caseEffect.pluginState(&data, CMTime::make(c.frame, static_cast<int32_t>(c.num)),
                               platform::FxQuality::high, nullptr);
        const Json state = stateJSON(data);
        EXPECT_EQ(state["isStatus"], true) << c.when;
        EXPECT_EQ(state["metadata"]["sourceClipName"].get<std::string>(), c.text) << c.when;
        EXPECT_EQ(state["metadata"]["frameRate"], c.num) << c.when;
        EXPECT_EQ(state["metadata"]["sourceTimecode"], "") << c.when;
        // The preset still travels with a status: two default elements, or none without one.
        EXPECT_EQ(state["elements"].size(), c.written ? 2u : 0u) << c.when;
    }
}

TEST_F(TandrelRendererTest, TimingFallsBackTo24FpsAndTimeZero) {
    folder.write(snapshot("00:00:00:00", {clip("A", 0, 25 * 60)}));
    struct Case {
        const char *when;
        FakeHost::Gives gives;
        unsigned int num;
        unsigned int den;
        std::optional<CMTime> converted;
        std::string projectTimecode;
    };
    const CMTime twoSeconds = CMTime::make(2, 1);
    const Case cases[] = {
        {"the host's timing", FakeHost::Gives::timing, 25, 1, twoSeconds, "00:00:02:00"},
        {"no timing interface", FakeHost::Gives::nothing, 25, 1, twoSeconds, "00:00:00:00"},
        {"a stranger for it", FakeHost::Gives::stranger, 25, 1, twoSeconds, "00:00:00:00"},
        {"rate 0/1", FakeHost::Gives::timing, 0, 1, CMTime::make(5, 1), "00:00:05:00"},
        {"rate 25/0", FakeHost::Gives::timing, 25, 0, CMTime::make(5, 1), "00:00:05:00"},
        {"an invalid time", FakeHost::Gives::timing, 25, 1, CMTime{50, 25, 0, 0}, "00:00:00:00"},
        {"timescale 0", FakeHost::Gives::timing, 25, 1, CMTime::make(50, 0), "00:00:00:00"},
    };
    for (const Case &c : cases) {
        host.gives = c.gives;
        host.timing.num = c.num;
        host.timing.den = c.den;
        host.timing.converted = c.converted;
        platform::FxData data;
        ASSERT_TRUE(
            effect.pluginState(&data, CMTime::make(1, 1), platform::FxQuality::low, nullptr));
        const Json state = stateJSON(data);
        EXPECT_EQ(state["isStatus"], false) << c.when;
        EXPECT_EQ(state["metadata"]["projectTimecode"], c.projectTimecode) << c.when;
    }
}

TEST_F(TandrelRendererTest, AFrameCarriesItsRecordAndThePresetsOptions) {
    TandrelSnapshot document = snapshot("01:00:00:00", {clip("A", 0, 250, 1000)});
    document.displayConfig.visiblePictureAspectRatio = 2.39;
    document.displayConfig.showStackedLayers = true;
    folder.write(document);
    const Json state = stateAt(90'000 + 10);
    EXPECT_EQ(state["isStatus"], false);
    EXPECT_EQ(state["metadata"]["sourceClipName"], "A");
    EXPECT_EQ(state["metadata"]["sourceTimecode"], "00:00:40:10");
    EXPECT_EQ(state["metadata"]["projectTimecode"], "01:00:00:10");
    EXPECT_EQ(state["visiblePictureAspectRatio"], 2.39);
    EXPECT_EQ(state["showStackedLayers"], true);
    EXPECT_EQ(state["constrainToVisiblePicture"], false);
    EXPECT_FALSE(state.contains("stackedLayersV1OnTop"));
    EXPECT_EQ(state["elements"][0]["field"], "sourceTC");
}

// A clip name from a library draws with the built-in "Conform" preset whatever its length:
// "Wide Shot" and 70,000 combining marks took the text shaper down (and with it the editor
// the effect runs in), and shorter runs of marks cost time with the square of their length.
TEST_F(TandrelRendererTest, ALibraryClipNameOfAnyLengthDrawsWithTheConformPreset) {
    const std::string name = "Wide Shot" + repeatedText("\u0301", 70000);
    sample::LibraryDescription description = sample::standardSampleLibrary();
    for (auto &event : description.events) {
        for (auto &timeline : event.timelines) {
            if (timeline.name == "Sample") {
                timeline.spine.at(1).name = name; // "Arrival", 100 frames after 50 of title
            }
        }
    }
    ResolvedLibrary library(description);
    std::vector<SnapshotEntry> entries;
    for (const EditEntry &entry : library.edl("Sample").entries()) {
        for (SnapshotEntry &converted : SnapshotWriter::snapshotEntries(entry)) {
            entries.push_back(std::move(converted));
        }
    }
    TandrelSnapshot document = snapshot("10:00:00:00", entries);
    const auto &presets = BundledPresets::table();
    const auto conform = std::find_if(presets.begin(), presets.end(),
                                      [](const DisplayConfig &p) { return p.name == "Conform"; });
    ASSERT_NE(conform, presets.end());
    document.displayConfig = *conform;
    folder.write(document);

    platform::FxData state;
    const CMTime time = CMTime::make(10 * 3600 * 25 + 60, 25);
    ASSERT_TRUE(effect.pluginState(&state, time, platform::FxQuality::high, nullptr));
    // The name travels bounded, as every text of a snapshot does.
    const std::string held = stateJSON(state)["metadata"]["sourceClipName"];
    EXPECT_EQ(held, "Wide Shot" + repeatedText("\u0301", 29) + "\u034F\u2026");

    // Drawn as the render call draws it, on a device with the overlay's shaders.
    const auto machine = platform::copyAllDevices();
    const auto device = platform::Device::make({7, "test"});
    platform::setSystemDevices({device});
    MetalDeviceCache cache{TANDREL_PLUGIN_SOURCE_DIR};
    TextRenderer textRenderer;
    ProbeFlags probes;
    OverlayRenderer overlay{cache, textRenderer, probes};
    const auto surface = platform::Surface::create(1920, 1080, platform::Surface::formatBGRA);
    const platform::FxRect bounds{0, 0, 1920, 1080};
    overlay.renderFrame(platform::FxImageTile(surface, 7, bounds, bounds), &state);
    platform::setSystemDevices(machine);
    EXPECT_GT(inkedPixels(*surface), 1000);
}

// The module as a host opens it.
class LoadedModule {
public:
    LoadedModule() : handle_(dlopen(TANDREL_PLUGIN_MODULE, RTLD_NOW | RTLD_LOCAL)) {
        if (handle_ == nullptr) {
            ADD_FAILURE() << dlerror();
            return;
        }
        create = reinterpret_cast<platform::FxCreateEffectFunction>(
            dlsym(handle_, platform::fxCreateEffectSymbol));
        destroy = reinterpret_cast<platform::FxDestroyEffectFunction>(
            dlsym(handle_, platform::fxDestroyEffectSymbol));
    }
    ~LoadedModule() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    bool hasSymbol(const char *name) const { return dlsym(handle_, name) != nullptr; }

    platform::FxCreateEffectFunction create = nullptr;
    platform::FxDestroyEffectFunction destroy = nullptr;

private:
    void *handle_;
};

TEST(TandrelPluginModule, MakesTheEffectAndDrivesItThroughItsEntryPoints) {
    SnapshotFolder folder;
    folder.write(moduleSnapshot());
    LoadedModule module;
    ASSERT_TRUE(module.create && module.destroy);
    EXPECT_FALSE(module.hasSymbol("_ZN7tandrel16SnapshotProvider6sharedEv")); // kept inside
    FakeHost host;
    EXPECT_EQ(module.create("SomeOtherEffect", &host), nullptr);
    const std::unique_ptr<platform::FxTileableEffect, platform::FxDestroyEffectFunction> effect(
        module.create("TandrelPluginRenderer", &host), module.destroy);
    ASSERT_TRUE(effect);

    EXPECT_TRUE(effect->addParameters(nullptr));
    platform::FxProperties properties;
    EXPECT_TRUE(effect->properties(&properties, nullptr));
    EXPECT_EQ(properties, (platform::FxProperties{{"MayRemapTime", false},
                                                  {"PixelTransformSupport", 3L},
                                                  {"VariesWhenParamsAreStatic", true}}));
    EXPECT_TRUE(effect->properties(nullptr, nullptr));

    const auto surface = platform::Surface::create(640, 360, platform::Surface::formatBGRA);
    const platform::FxRect bounds{0, 0, 640, 360};
    const platform::FxImageTile tile(surface, platform::systemDeviceRegistryID, bounds, bounds);
    const CMTime time = CMTime::make(90'000 + 10, 25);
    platform::FxRect rect;
    EXPECT_TRUE(effect->destinationImageRect(&rect, {}, tile, nullptr, time, nullptr));
    EXPECT_EQ(rect, platform::kFxRect_Infinite);
    EXPECT_TRUE(effect->sourceTileRect(&rect, 0, {}, bounds, tile, nullptr, time, nullptr));
    EXPECT_EQ(rect, platform::kFxRect_Empty);

    platform::FxData state;
    ASSERT_TRUE(effect->pluginState(&state, time, platform::FxQuality::high, nullptr));
    EXPECT_EQ(stateJSON(state)["metadata"]["sourceTimecode"], "00:00:40:10");
    ASSERT_TRUE(effect->renderDestinationImage(tile, {}, &state, time, nullptr));
    const int drawn = inkedPixels(*surface);
    EXPECT_GT(drawn, 1000); // the default preset's two texts
    EXPECT_LT(drawn, 640 * 360 / 4);

    // No state, or one that is not a state's JSON: the tile is cleared and stays transparent.
    const platform::FxData notAState{'{', '}'};
    for (const platform::FxData *nothing :
         {static_cast<const platform::FxData *>(nullptr), &notAState}) {
        std::fill_n(surface->baseAddress(), surface->bytesPerRow() * 360, std::byte{0x7F});
        EXPECT_TRUE(effect->renderDestinationImage(tile, {}, nothing, time, nullptr));
        EXPECT_EQ(inkedPixels(*surface), 0);
    }
}

} // namespace
} // namespace tandrel
