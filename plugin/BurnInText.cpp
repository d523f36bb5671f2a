#include "plugin/BurnInText.h"

#include "core/support/Numeric.h"
#include "core/support/UnicodeText.h"
#include "plugin/StackedLayerBlock.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tandrel {

namespace {

using Text = std::optional<std::string>;

bool present(const Text &text) {
    return text && !text->empty();
}

Text ifPresent(const Text &text) {
    return present(text) ? text : std::nullopt;
}

Text integerText(std::optional<int64_t> value) {
    return value ? Text(std::to_string(*value)) : std::nullopt;
}

std::string joined(const std::vector<std::string> &parts, std::string_view separator) {
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            text += separator;
        }
        text += parts[i];
    }
    return text;
}

bool isNoClip(std::string_view name) {
    return name == TandrelMetadata::noClipName;
}

// The field's own value, then, with stacked layers shown, one "V<lane> <value>" line per layer
// that has a value, layers by lane (equal lanes in stored order).
template <typename LayerValue>
Text cascaded(const TandrelMetadata &from, bool showStackedLayers, Text top,
              LayerValue layerValue) {
    if (!showStackedLayers) {
        return top;
    }
    std::vector<std::string> lines;
    if (present(top)) {
        lines.push_back(*top);
    }
    if (from.stackedLayers) {
        std::vector<const PluginStackedLayerInfo *> layers;
        for (const PluginStackedLayerInfo &layer : *from.stackedLayers) {
            layers.push_back(&layer);
        }
        std::stable_sort(layers.begin(), layers.end(), [](const auto *a, const auto *b) {
            return a->videoLaneNumber < b->videoLaneNumber;
        });
        for (const PluginStackedLayerInfo *layer : layers) {
            if (const Text value = layerValue(*layer); present(value)) {
                std::string line = "V";
                line += std::to_string(layer->videoLaneNumber);
                line += ' ';
                line += *value;
                lines.push_back(std::move(line));
            }
        }
    }
    return lines.empty() ? std::nullopt : Text(joined(lines, "\n"));
}

// Scene and shot, each when not absent (an empty one still counts), joined with "-".
Text sceneShot(const TandrelMetadata &from) {
    if (!from.scene && !from.shot) {
        return std::nullopt;
    }
    std::vector<std::string> parts;
    for (const Text &part : {from.scene, from.shot}) {
        if (part) {
            parts.push_back(*part);
        }
    }
    return joined(parts, "-");
}

Text speed(const TandrelMetadata &from) {
    if (from.isFreezeFrame.value_or(false)) {
        return "FREEZE";
    }
    if (from.speedRate && *from.speedRate != 1.0) {
        // The product carries the binary error of the rate (0.29 × 100 is 28.999999999999996):
        // rounded to six decimals first, it truncates to the percentage the rate stands for.
        const double percent = std::round(*from.speedRate * 100 * 1e6) / 1e6;
        const std::optional<int64_t> whole = truncateToInt64(percent);
        if (!whole) {
            return std::nullopt;
        }
        return std::to_string(*whole) + "%" + (from.isReversed.value_or(false) ? " REV" : "");
    }
    return from.isSpeedRamp.value_or(false) ? Text("RAMP") : std::nullopt;
}

Text resolution(const TandrelMetadata &from) {
    if (!from.resolutionWidth || !from.resolutionHeight || *from.resolutionWidth <= 0 ||
        *from.resolutionHeight <= 0) {
        return std::nullopt;
    }
    const auto width = truncateToInt64(*from.resolutionWidth);
    const auto height = truncateToInt64(*from.resolutionHeight);
    if (!width || !height) {
        return std::nullopt;
    }
    return std::to_string(*width) + "x" + std::to_string(*height);
}

Text resize(const TandrelMetadata &from) {
    if (!from.scaleX || !from.scaleY || (*from.scaleX == 1.0 && *from.scaleY == 1.0)) {
        return std::nullopt;
    }
    const auto percent = roundToInt64((*from.scaleX + *from.scaleY) / 2 * 100);
    return percent ? Text(std::to_string(*percent) + "%") : std::nullopt;
}

Text position(const TandrelMetadata &from) {
    std::vector<std::string> parts;
    const double x = from.positionX.value_or(0);
    const double y = from.positionY.value_or(0);
    if (x != 0 || y != 0) {
        const auto nearestX = roundToInt64(x);
        const auto nearestY = roundToInt64(y);
        if (!nearestX || !nearestY) {
            return std::nullopt;
        }
        parts.push_back("X:" + std::to_string(*nearestX) + " Y:" + std::to_string(*nearestY));
    }
    if (from.rotation && *from.rotation != 0) {
        const auto degrees = roundToInt64(*from.rotation);
        if (!degrees) {
            return std::nullopt;
        }
        parts.push_back("R:" + std::to_string(*degrees) + "\u00B0");
    }
    return parts.empty() ? std::nullopt : Text(joined(parts, " "));
}

Text stackedVideo(const TandrelMetadata &from) {
    std::vector<std::string> names;
    if (!isNoClip(from.sourceClipName)) {
        names.push_back(from.sourceClipName);
    }
    if (from.stackedVideoClips) {
        names.insert(names.end(), from.stackedVideoClips->begin(), from.stackedVideoClips->end());
    }
    return names.empty() ? std::nullopt : Text(joined(names, ", "));
}

// The first marker, in stored order, of one of the types; a type the snapshot spells in any
// other way than the three raw values never matches.
const PluginMarkerInfo *matchingMarker(const TandrelMetadata &in,
                                       const std::set<MarkerType> &types) {
    if (!in.markers) {
        return nullptr;
    }
    for (const PluginMarkerInfo &marker : *in.markers) {
        const std::optional<MarkerType> type = MarkerType::fromRawValue(marker.type);
        if (type && types.contains(*type)) {
            return &marker;
        }
    }
    return nullptr;
}

Text roleText(const TandrelMetadata &from, std::string_view label,
              const std::set<std::string> &roleFilterUIDs, RoleDisplayMode mode) {
    // The filter's own (sorted) order; a clip that carries two of the filtered roles counts
    // once.
    std::vector<const PluginActiveRoleClip *> matches;
    std::set<std::string> taken;
    if (from.activeRoleClips) {
        for (const std::string &uid : roleFilterUIDs) {
            const auto found = from.activeRoleClips->find(uid);
            if (found != from.activeRoleClips->end() &&
                taken.insert(found->second.mediaFilename + "|" + found->second.roleName).second) {
                matches.push_back(&found->second);
            }
        }
    }
    if (matches.empty()) {
        return std::nullopt;
    }
    switch (mode) {
    case RoleDisplayMode::custom:
        return label.empty() ? std::nullopt : Text(std::string(label));
    case RoleDisplayMode::mediaFilename: {
        std::vector<std::string> names;
        for (const PluginActiveRoleClip *match : matches) {
            names.push_back(match->mediaFilename);
        }
        return joined(names, ", ");
    }
    case RoleDisplayMode::roleName:
        break;
    }
    // Distinct names (canonically equivalent spellings are one name, shown as first met),
    // in code-point order of their composed forms.
    std::vector<std::pair<std::string, std::string>> names; // composed form, as first met
    for (const PluginActiveRoleClip *match : matches) {
        std::string composed = canonicallyComposed(match->roleName);
        if (std::none_of(names.begin(), names.end(),
                         [&](const auto &name) { return name.first == composed; })) {
            names.emplace_back(std::move(composed), match->roleName);
        }
    }
    std::sort(names.begin(), names.end());
    std::vector<std::string> shown;
    for (auto &name : names) {
        shown.push_back(std::move(name.second));
    }
    return joined(shown, ", ");
}

} // namespace

std::optional<std::string>
BurnInText::resolve(MetadataField field, const TandrelMetadata &from, std::string_view label,
                    const std::set<MarkerType> &markerTypes,
                    const std::set<std::string> &roleFilterUIDs, RoleDisplayMode roleDisplayMode,
                    std::string_view secondaryLabel, bool showStackedLayers,
                    std::optional<bool> stackedLayersV1OnTop,
                    std::optional<StackedLayerColumns> stackedLayerColumns,
                    std::optional<StackedLayerPrefixPosition> stackedLayerPrefixPosition) {
    const auto marker = [&] { return matchingMarker(from, markerTypes); };
    Text value;
    switch (field) {
    case MetadataField::sourceTC: {
        const bool hasTimecode = !from.sourceTimecode.empty() && !isNoClip(from.sourceTimecode);
        value = cascaded(from, showStackedLayers,
                         hasTimecode ? Text(from.sourceTimecode) : std::nullopt,
                         [](const PluginStackedLayerInfo &layer) { return layer.sourceTimecode; });
        break;
    }
    case MetadataField::projectTC:
        value = ifPresent(from.projectTimecode);
        break;
    case MetadataField::clipName:
        value = isNoClip(from.sourceClipName) ? std::nullopt : Text(from.sourceClipName);
        break;
    case MetadataField::sourceFile:
        value = cascaded(from, showStackedLayers, ifPresent(from.sourceFileName),
                         [](const PluginStackedLayerInfo &layer) { return layer.sourceFileName; });
        break;
    case MetadataField::reel:
        value = cascaded(from, showStackedLayers, ifPresent(from.reelName),
                         [](const PluginStackedLayerInfo &layer) { return layer.reelName; });
        break;
    case MetadataField::sceneShot:
        value = cascaded(from, showStackedLayers, sceneShot(from),
                         [](const PluginStackedLayerInfo &layer) { return layer.sceneShot; });
        break;
    case MetadataField::speed:
        value = speed(from);
        break;
    case MetadataField::notes:
        value = ifPresent(from.notes);
        break;
    case MetadataField::angle:
        value = ifPresent(from.angle);
        break;
    case MetadataField::resolution:
        value = resolution(from);
        break;
    case MetadataField::marker:
        if (const PluginMarkerInfo *found = marker()) {
            value = present(found->chapterNote) ? found->chapterNote : Text(found->text);
        }
        break;
    case MetadataField::resize:
        value = resize(from);
        break;
    case MetadataField::stackedVideo:
        value = stackedVideo(from);
        break;
    case MetadataField::roleText:
        value = roleText(from, label, roleFilterUIDs, roleDisplayMode);
        if (roleDisplayMode == RoleDisplayMode::custom) {
            return value;
        }
        break;
    case MetadataField::custom:
        return label.empty() ? std::nullopt : Text(std::string(label));
    case MetadataField::markerName:
        if (const PluginMarkerInfo *found = marker()) {
            value = found->text;
        }
        break;
    case MetadataField::markerNote:
        if (const PluginMarkerInfo *found = marker()) {
            value = ifPresent(found->chapterNote);
        }
        break;
    case MetadataField::markerNameAndNote:
        if (const PluginMarkerInfo *found = marker()) {
            value = found->text;
            if (present(found->chapterNote)) {
                *value += " \u2014 " + *found->chapterNote;
            }
        }
        break;
    case MetadataField::sourceFrame:
        value = cascaded(from, showStackedLayers, integerText(from.sourceFrameNumber),
                         [](const PluginStackedLayerInfo &layer) {
                             return integerText(layer.sourceFrameNumber);
                         });
        break;
    case MetadataField::stackedLayerReel:
    case MetadataField::stackedLayerSlate:
        // The labels are the cells' prefixes.
        return StackedLayerBlock::block(field, from, label, secondaryLabel, stackedLayerColumns,
                                        stackedLayerPrefixPosition, stackedLayersV1OnTop);
    case MetadataField::stabilization:
        value = from.hasStabilization.value_or(false) ? Text("Stabilized") : std::nullopt;
        break;
    case MetadataField::position:
        value = position(from);
        break;
    }
    if (!value || label.empty()) {
        return value;
    }
    return std::string(label) + " " + *value;
}

std::optional<std::string> BurnInText::resolve(const BurnInElement &element,
                                               const TandrelMetadata &from, bool showStackedLayers,
                                               std::optional<bool> stackedLayersV1OnTop) {
    return resolve(element.field, from, element.label, element.markerTypes, element.roleFilterUIDs,
                   element.roleDisplayMode, element.secondaryLabel, showStackedLayers,
                   element.stackedLayerV1OnTop ? element.stackedLayerV1OnTop : stackedLayersV1OnTop,
                   element.stackedLayerColumns, element.stackedLayerPrefixPosition);
}

} // namespace tandrel
