#include "plugin/StackedLayerBlock.h"

#include "core/support/UnicodeText.h"
#include "plugin/LayoutText.h"

#include <algorithm>

namespace tandrel {

namespace {

std::string frameText(const std::optional<int64_t> &frame) {
    return frame ? std::to_string(*frame) : std::string();
}

// The row of lane 1 and one row per stacked layer, in stored order, before sorting.
std::vector<StackedLayerBlock::StackedRow>
unsortedRows(bool reel, const TandrelMetadata &from, std::string_view label,
             std::string_view secondaryLabel, std::optional<StackedLayerColumns> columns,
             std::optional<StackedLayerPrefixPosition> prefixPosition) {
    const bool showLeft = columns != StackedLayerColumns::rightOnly;
    const bool showRight = columns != StackedLayerColumns::leftOnly;
    std::vector<StackedLayerBlock::StackedRow> rows;
    const auto add = [&](int64_t lane, std::string_view left, std::string_view right) {
        rows.push_back({
            lane,
            showLeft ? StackedLayerBlock::formatPart(label, lane, left, true, prefixPosition) : "",
            showRight
                ? StackedLayerBlock::formatPart(secondaryLabel, lane, right, false, prefixPosition)
                : "",
        });
    };

    if (reel) {
        add(1, from.sourceFileName.value_or(""), frameText(from.sourceFrameNumber));
    } else {
        std::string sceneShot = from.scene.value_or("");
        if (from.scene && from.shot) {
            sceneShot += "/";
        }
        sceneShot += from.shot.value_or("");
        add(1, sceneShot, from.sourceTimecode);
    }
    if (!from.stackedLayers) {
        return rows;
    }
    for (const PluginStackedLayerInfo &layer : *from.stackedLayers) {
        if (reel) {
            add(layer.videoLaneNumber, layer.sourceFileName.value_or(""),
                frameText(layer.sourceFrameNumber));
        } else {
            add(layer.videoLaneNumber, layer.sceneShot.value_or(""),
                layer.sourceTimecode.value_or(""));
        }
    }
    return rows;
}

std::string joinedLines(const std::vector<std::string> &lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            text += '\n';
        }
        text += lines[i];
    }
    return text;
}

} // namespace

std::string
StackedLayerBlock::formatPart(std::string_view prefix, int64_t lane, std::string_view value,
                              bool legacyBefore,
                              std::optional<StackedLayerPrefixPosition> prefixPosition) {
    std::string tag = "[";
    tag += prefix;
    tag += " V";
    tag += std::to_string(lane);
    tag += ']';
    const bool before =
        prefixPosition ? *prefixPosition == StackedLayerPrefixPosition::beforeValue : legacyBefore;
    return before ? tag + " " + std::string(value) : std::string(value) + " " + tag;
}

std::optional<std::string>
StackedLayerBlock::formatStackedBlock(const std::vector<StackedRow> &rows) {
    if (rows.empty()) {
        return std::nullopt;
    }
    const auto anyNonEmpty = [&](auto cell) {
        return std::any_of(rows.begin(), rows.end(),
                           [&](const StackedRow &row) { return !(row.*cell).empty(); });
    };
    std::vector<std::string> lines;
    if (!anyNonEmpty(&StackedRow::right)) {
        for (const StackedRow &row : rows) {
            lines.push_back(row.left);
        }
        return joinedLines(lines);
    }
    if (!anyNonEmpty(&StackedRow::left)) {
        for (const StackedRow &row : rows) {
            lines.push_back(row.right);
        }
        return joinedLines(lines);
    }

    std::vector<std::size_t> cellLengths;
    std::size_t width = 0;
    for (const StackedRow &row : rows) {
        const std::size_t length = graphemeCount(row.left) + graphemeCount(row.right);
        cellLengths.push_back(length);
        width = std::max(width, length + 1);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        // No more spaces than a text draws characters: a cell of any length could otherwise
        // pad every other row with as many. A row that would take more holds a block wider
        // than the rasteriser's cut, which then shows no more than the first line's first
        // characters, the same with the padding held back as without.
        const std::size_t padding = std::min(width - cellLengths[i], LayoutText::maxCharacters);
        lines.push_back(rows[i].left + std::string(padding, ' ') + rows[i].right);
    }
    return joinedLines(lines);
}

std::optional<std::string>
StackedLayerBlock::block(MetadataField field, const TandrelMetadata &from, std::string_view label,
                         std::string_view secondaryLabel,
                         std::optional<StackedLayerColumns> columns,
                         std::optional<StackedLayerPrefixPosition> prefixPosition,
                         std::optional<bool> stackedLayersV1OnTop) {
    const bool reel = field == MetadataField::stackedLayerReel;
    if ((!reel && field != MetadataField::stackedLayerSlate) ||
        from.sourceClipName == TandrelMetadata::noClipName) {
        return std::nullopt;
    }
    std::vector<StackedRow> rows =
        unsortedRows(reel, from, label, secondaryLabel, columns, prefixPosition);
    // Without a choice, the reel block puts V1 first and the slate block puts it last.
    const bool v1First = stackedLayersV1OnTop.value_or(reel);
    std::stable_sort(rows.begin(), rows.end(), [&](const StackedRow &a, const StackedRow &b) {
        return v1First ? a.lane < b.lane : a.lane > b.lane;
    });
    return formatStackedBlock(rows);
}

} // namespace tandrel
