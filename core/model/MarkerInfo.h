#pragma once

#include "core/model/MarkerType.h"
#include "core/support/Json.h"

#include <optional>
#include <string>

namespace tandrel {

// A marker of a clip.
struct MarkerInfo {
    std::string text = {};
    MarkerType type = MarkerType::standard;
    std::optional<std::string> chapterNote = {};

    friend bool operator==(const MarkerInfo &, const MarkerInfo &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("text", self.text);
        visit("type", self.type);
        visit("chapterNote", self.chapterNote);
    }
};

void to_json(Json &json, const MarkerInfo &marker);
void from_json(const Json &json, MarkerInfo &marker);

} // namespace tandrel
