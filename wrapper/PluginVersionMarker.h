#pragma once

#include "core/support/Json.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// The installed plug-in's version and build, as the wrapper application records them after
// installing its template and the host reads them to decide on an update. The record and the
// file's place are one piece, linked into both programs. The build stays text; the host reads
// it as a decimal number.
struct PluginVersionMarker {
    std::string version;
    std::string build;

    // Largest marker file read; a bigger one counts as unreadable.
    static constexpr std::size_t maxFileBytes = 64 * 1024;

    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("version", self.version);
        visit("build", self.build);
    }

    // "Tandrel/plugin_version.json" in the Application Support folder
    // (applicationSupportDirectory()). Fails with std::runtime_error when there is no home
    // folder to hold it.
    static std::filesystem::path location();

    // The compact JSON object {"version":…,"build":…}.
    std::string encode() const;
    // A JSON object with "version" and "build" both holding strings (other members ignored);
    // anything else gives nothing.
    static std::optional<PluginVersionMarker> decode(std::string_view bytes);

    // The marker in the file; nothing when it is missing, unreadable, too big or undecodable.
    static std::optional<PluginVersionMarker> read(const std::filesystem::path &file);
    // Replaces the file whole, creating its folder; a reader never sees half a marker. Only
    // the host reads it, so the file is the user's alone (0600), and so is its folder (made,
    // or narrowed, to 0700). A failure leaves the previous marker as it was and is not
    // reported.
    void writeIgnoringFailures(const std::filesystem::path &file) const;

    friend bool operator==(const PluginVersionMarker &, const PluginVersionMarker &) = default;
};

void to_json(Json &json, const PluginVersionMarker &marker);
void from_json(const Json &json, PluginVersionMarker &marker);

} // namespace tandrel
