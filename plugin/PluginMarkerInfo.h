#pragma once

#include "core/support/Json.h"

#include <optional>
#include <string>

namespace tandrel {

// A marker as the plug-in reads it from the snapshot. Its type is kept as the text the
// snapshot holds, so that a kind of marker this build does not know never rejects a snapshot;
// only "chapter", "todo" and "standard" ever match an element's marker types.
struct PluginMarkerInfo {
    std::string text = {};
    std::string type = {};
    std::optional<std::string> chapterNote = {};

    friend bool operator==(const PluginMarkerInfo &, const PluginMarkerInfo &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("text", self.text);
        visit("type", self.type);
        visit("chapterNote", self.chapterNote);
    }
};

void to_json(Json &json, const PluginMarkerInfo &marker);
void from_json(const Json &json, PluginMarkerInfo &marker);

} // namespace tandrel
