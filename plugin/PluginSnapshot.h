#pragma once

#include "core/snapshot/SnapshotDocument.h"
#include "core/support/Json.h"
#include "plugin/PluginDisplayConfig.h"
#include "plugin/PluginSnapshotEntry.h"

#include <string_view>

namespace tandrel {

// The snapshot document as the plug-in reads it. Every member but the drop-frame flag is
// required (schemaVersion, libraryName and updatedAt only for the document to read: the
// plug-in uses none of them).
// A document that fails to read, or that leaves SnapshotLimits anywhere, is rejected whole.
// Its texts are kept as HeldTexts bounds them.
struct PluginSnapshot : SnapshotDocument<PluginSnapshotEntry, PluginDisplayConfig> {
    // The document of a snapshot file's text. Fails with DecodingError for text that is not
    // JSON, a document of the wrong shape, or a value outside SnapshotLimits.
    static PluginSnapshot decode(std::string_view text);
};

void to_json(Json &json, const PluginSnapshot &snapshot);
void from_json(const Json &json, PluginSnapshot &snapshot);

} // namespace tandrel
