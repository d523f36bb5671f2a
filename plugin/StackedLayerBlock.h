#pragma once

#include "core/model/MetadataField.h"
#include "core/model/StackedLayerColumns.h"
#include "core/model/StackedLayerPrefixPosition.h"
#include "plugin/TandrelMetadata.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// The two stacked-layer block texts: one row for the clip under the playhead (lane 1) and one
// for every layer stacked over it, each row a lane-tagged left cell (media file name, or
// scene/shot) and a lane-tagged right cell (source frame, or source timecode), padded so that
// the right cells end in one column of the monospaced overlay font.
struct StackedLayerBlock {
    struct StackedRow {
        int64_t lane = 0;
        // The finished cells; empty for a column that is not shown.
        std::string left;
        std::string right;
    };

    // One cell: the tag "[<prefix> V<lane>]" before or after the value, one space between.
    // Without a position set, left cells (legacyBefore true) put the tag before and right
    // cells after.
    static std::string formatPart(std::string_view prefix, int64_t lane, std::string_view value,
                                  bool legacyBefore,
                                  std::optional<StackedLayerPrefixPosition> prefixPosition);

    // The rows as lines, in order: one column's cells when the other is empty in every row,
    // else both columns with the right cells padded to end in one column (lengths counted in
    // user-perceived characters; never more spaces than LayoutText::maxCharacters, as a block
    // that needs more shows only its first line). Nothing for no rows.
    static std::optional<std::string> formatStackedBlock(const std::vector<StackedRow> &rows);

    // The block of stackedLayerReel (file + frame) or stackedLayerSlate (scene/shot +
    // timecode): `label` prefixes left cells and `secondaryLabel` right cells. Nothing when
    // there is no clip ("—" as clip name) or for any other field.
    static std::optional<std::string>
    block(MetadataField field, const TandrelMetadata &from, std::string_view label,
          std::string_view secondaryLabel, std::optional<StackedLayerColumns> columns,
          std::optional<StackedLayerPrefixPosition> prefixPosition,
          std::optional<bool> stackedLayersV1OnTop);
};

} // namespace tandrel
