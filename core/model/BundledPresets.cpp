#include "core/model/BundledPresets.h"

#include "core/support/AsciiText.h"
#include "core/support/JsonText.h"
#include "core/support/Log.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace tandrel {

namespace {

struct Colour {
    double r, g, b;
};

constexpr Colour white{1.0, 1.0, 1.0};

BurnInElement element(MetadataField field, std::string label, bool enabled, double posX,
                      double posY, double fontSize, Colour text, bool background,
                      RoleDisplayMode roleDisplay = RoleDisplayMode::custom) {
    BurnInElement made(field);
    made.label = std::move(label);
    made.secondaryLabel = "";
    made.isEnabled = enabled;
    made.posX = posX;
    made.posY = posY;
    made.fontSize = fontSize;
    made.textR = text.r;
    made.textG = text.g;
    made.textB = text.b;
    made.textOpacity = 1.0;
    made.showBackground = background;
    made.bgR = 0;
    made.bgG = 0;
    made.bgB = 0;
    made.bgOpacity = 0.7;
    made.markerTypes = {MarkerType::chapter};
    made.roleFilterUIDs = {};
    made.roleDisplayMode = roleDisplay;
    made.textAlignment = BurnInTextAlignment::left;
    made.stackedLayerColumns.reset();
    made.stackedLayerPrefixPosition.reset();
    made.stackedLayerV1OnTop.reset();
    return made;
}

DisplayConfig builtIn(std::string name, std::vector<BurnInElement> elements) {
    return DisplayConfig(Uuid::random(), std::move(name), true, std::move(elements));
}

std::vector<DisplayConfig> makeTable() {
    using F = MetadataField;
    const Colour amber{1.0, 0.85, 0.2};
    const Colour magenta{0.9, 0.3, 0.9};
    const Colour green{0.3, 0.85, 0.35};
    const auto conform = [&](F field, std::string label, double posY) {
        return element(field, std::move(label), true, 0.05, posY, 16, white, true);
    };
    return {
        builtIn("Netflix QC Layout",
                {
                    element(F::marker, "", true, 0.03, 0.90, 18, amber, false),
                    element(F::custom, "Property of Netflix \u2013 2026/07/13", true, 0.36, 0.83,
                            18, white, false),
                    element(F::sourceTC, "", true, 0.88, 0.90, 18, white, false),
                    element(F::custom, "Watermark applied by Ostrevale", true, 0.28, 0.52, 20,
                            white, false),
                    element(F::notes, "Subtitle Reference", false, 0.28, 0.46, 16, white, false),
                    element(F::roleText, "Temp ADR", true, 0.47, 0.07, 18, magenta, false,
                            RoleDisplayMode::roleName),
                    element(F::roleText, "Licensed Music", true, 0.82, 0.07, 16, green, false,
                            RoleDisplayMode::roleName),
                }),
        builtIn("Conform",
                {
                    conform(F::sourceTC, "TC:", 0.30),
                    conform(F::projectTC, "Proj:", 0.26),
                    conform(F::clipName, "", 0.22),
                    conform(F::sourceFile, "File:", 0.18),
                    conform(F::reel, "Reel:", 0.14),
                    conform(F::sceneShot, "Scene:", 0.10),
                    conform(F::speed, "Speed:", 0.06),
                }),
        builtIn("Colorist", {element(F::sourceTC, "TC:", true, 0.05, 0.05, 32, white, false)}),
    };
}

} // namespace

const std::vector<DisplayConfig> &BundledPresets::table() {
    static const std::vector<DisplayConfig> presets = makeTable();
    return presets;
}

std::vector<DisplayConfig> BundledPresets::factoryPresets(const fs::path &resourceFolder) {
    std::vector<DisplayConfig> presets = table();
    for (DisplayConfig &preset : loadBundledPresetJSONFiles(resourceFolder)) {
        preset.isBuiltIn = true;
        const auto same = std::find_if(presets.begin(), presets.end(), [&](const DisplayConfig &p) {
            return p.name == preset.name;
        });
        if (same != presets.end()) {
            *same = std::move(preset);
        } else {
            presets.push_back(std::move(preset));
        }
    }
    return presets;
}

std::vector<DisplayConfig>
BundledPresets::loadBundledPresetJSONFiles(const fs::path &resourceFolder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(resourceFolder, error), end; !error && it != end;
         it.increment(error)) {
        if (asciiLowercased(it->path().extension().string()) == ".json") {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end(), [](const fs::path &a, const fs::path &b) {
        return a.filename().string() < b.filename().string();
    });
    std::vector<DisplayConfig> presets;
    for (const fs::path &file : files) {
        try {
            std::ifstream in(file, std::ios::binary);
            if (!in) {
                continue;
            }
            const std::string text{std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>()};
            presets.push_back(parseJsonText(text).get<DisplayConfig>());
        } catch (const std::exception &failure) {
            logger("com.ostrevale.tandrel.host", "presets")
                ->warn("Skipped preset file {}: {}", file.string(), failure.what());
        }
    }
    return presets;
}

fs::path BundledPresets::resourceFolder() {
    std::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) {
        return {};
    }
    return executable.parent_path().parent_path() / "share" / "tandrel" / "BundledPresets";
}

} // namespace tandrel
