#include "wrapper/PluginVersionMarker.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/AtomicFileWriter.h"
#include "core/support/JsonReader.h"
#include "core/support/JsonText.h"
#include "core/support/JsonWriter.h"
#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"
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
    // Only the user's own marker, in a folder of the user's own: another user's would decide
    // what the host installs.
    RegularFileRead read;
    try {
        read = PrivateFolder::open(file.parent_path(), PrivateFolder::Missing::fail)
                   .read(file.filename().string(), maxFileBytes);
    } catch (const NotOursError &error) {
        logger("com.ostrevale.tandrel.host", "update")
            ->error("The plug-in's version marker is not read: {}", error.what());
        return std::nullopt;
    } catch (const std::filesystem::filesystem_error &) {
        return std::nullopt;
    }
    if (read.status != RegularFileRead::Status::read) {
        return std::nullopt;
    }
    return decode(read.bytes);
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
