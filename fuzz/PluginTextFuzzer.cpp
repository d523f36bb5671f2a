// Feeds arbitrary bytes to the plug-in's text path as names from a library would reach it: the
// clip, file, scene and layer names and a marker of a frame's record and an element's label,
// through text resolution and the rasteriser. Besides crashes and sanitizer reports it stops
// on a text that would reach the text shaper beyond its bounds (LayoutText) and on a texture
// larger than a text may draw.

#include "core/support/UnicodeText.h"
#include "platform/gpu/Device.h"
#include "plugin/BurnInText.h"
#include "plugin/LayoutText.h"
#include "plugin/TextRenderer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

using namespace tandrel;

namespace {

void require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// The fields that show names, or build blocks and lists of them.
constexpr MetadataField::Case fields[] = {
    MetadataField::clipName,
    MetadataField::sourceFile,
    MetadataField::reel,
    MetadataField::sceneShot,
    MetadataField::stackedVideo,
    MetadataField::stackedLayerReel,
    MetadataField::stackedLayerSlate,
    MetadataField::markerNameAndNote,
    MetadataField::roleText,
    MetadataField::custom,
};

PluginStackedLayerInfo layer(int64_t lane, std::string_view name) {
    PluginStackedLayerInfo info;
    info.videoLaneNumber = lane;
    info.sourceFileName = std::string(name);
    info.sceneShot = std::string(name);
    info.sourceTimecode = std::string(name);
    info.sourceFrameNumber = lane * 100;
    return info;
}

void checkBounds(const std::string &shown) {
    require(shown.size() <= LayoutText::maxBytes);
    require(graphemeCount(shown) <= LayoutText::maxCharacters + 1);
    require(shown.find('\0') == std::string::npos);
    require(isValidUTF8(shown));
    // Bounded already, it stays as it is.
    require(LayoutText(shown).text() == shown);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 2) {
        return 0;
    }
    // The first byte picks the field and the font size; up to the first '|' of the next 32
    // bytes is the label, the rest the names.
    const MetadataField field = fields[data[0] % std::size(fields)];
    const double fontSize = 12 + (data[0] >> 4) * 6;
    std::string_view input(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::size_t bar = input.substr(0, 32).find('|');
    const std::string_view label = bar == std::string_view::npos ? "" : input.substr(0, bar);
    const std::string_view names = bar == std::string_view::npos ? input : input.substr(bar + 1);
    const std::string_view half = names.substr(0, names.size() / 2);

    TandrelMetadata record;
    record.sourceClipName = std::string(names);
    record.sourceFileName = std::string(names);
    record.sourceTimecode = std::string(half);
    record.reelName = std::string(half);
    record.scene = std::string(names);
    record.shot = std::string(half);
    record.sourceFrameNumber = 1234;
    record.stackedVideoClips = std::vector<std::string>{std::string(half), std::string(names)};
    record.stackedLayers = {layer(2, half), layer(3, names), layer(2, "B002.mov")};
    record.markers =
        std::vector<PluginMarkerInfo>{{std::string(names), "chapter", std::string(half)}};
    record.activeRoleClips = std::map<std::string, PluginActiveRoleClip>{
        {"r1", {std::string(names), std::string(half)}}, {"r2", {std::string(half), "A.wav"}}};

    BurnInElement element(field);
    element.label = std::string(label);
    element.secondaryLabel = std::string(label.substr(0, label.size() / 2));
    element.fontSize = fontSize;
    element.roleFilterUIDs = {"r1", "r2"};
    element.roleDisplayMode =
        data[0] & 1 ? RoleDisplayMode::roleName : RoleDisplayMode::mediaFilename;
    const auto text = BurnInText::resolve(element, record, true, std::nullopt);
    if (!text) {
        return 0;
    }
    checkBounds(LayoutText(*text).text());

    // One element, so that the cache holds one texture however long the run.
    static TextRenderer renderer;
    static const auto device = platform::Device::make({1, "fuzz"});
    static const Uuid elementID = Uuid::random();
    TextRenderer::DisplayParams params;
    params.fontSize = fontSize;
    params.showBackground = (data[0] & 2) != 0;
    const auto drawn = renderer.render(*text, elementID, params, *device);
    // Texts wrap at 2000 points and leave out lines below them; the padding is 8 either way.
    require(!drawn || (drawn->width <= 2016 && drawn->height <= 2016));
    return 0;
}
