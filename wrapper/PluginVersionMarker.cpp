#include "wrapper/PluginVersionMarker.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/AtomicFileWriter.h"
#include "core/support/JsonReader.h"
#include "core/support/JsonText.h"
#include "core/support/JsonWriter.h"
#include "platform/filemanager/FileManager.h"

namespace tandrel {

std::filesystem::path PluginVersionMarker::location() {
    return applicationSupportDirectory() / "Tandrel" / "plugin_version.json";
}

std::string PluginVersionMarker::encode() const {
    return encodeJsonText(*this);
}

std::optional<PluginVersionMarker> PluginVersionMarker::decode(std::string_view bytes) {
    try {
        return parseJsonText(bytes).get<PluginVersionMarker>();
    } catch (const DecodingError &) {
        return std::nullopt;
    }
}

std::optional<PluginVersionMarker> PluginVersionMarker::read(const std::filesystem::path &file) {
    const auto bytes = platform::readRegularFile(file, maxFileBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return decode(*bytes);
}

void PluginVersionMarker::writeIgnoringFailures(const std::filesystem::path &file) const {
    // The folder holds the user's feedback and snapshot too: the host's alone, whoever made it.
    narrowAtStart({{file.parent_path(), FileAccess::userOnly}});
    try {
        AtomicFileWriter::write(file, encode(), FileAccess::userOnly);
    } catch (const std::exception &) {
        // The installation counts as done; the host then simply finds the older marker.
    }
}

void to_json(Json &json, const PluginVersionMarker &marker) {
    json = JsonWriter::record(marker);
}

void from_json(const Json &json, PluginVersionMarker &marker) {
    PluginVersionMarker::forEachMember(marker, JsonReader(json, "PluginVersionMarker"));
}

} // namespace tandrel
