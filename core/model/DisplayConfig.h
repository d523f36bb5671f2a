#pragma once

#include "core/model/BurnInElement.h"
#include "core/model/DisplayOptions.h"
#include "core/support/Json.h"
#include "core/support/Uuid.h"

#include <string>
#include <vector>

namespace tandrel {

// A burn-in preset: a named list of elements, in drawing and editing order, and the display
// options it inherits. Reading requires id, name, built-in flag and elements; the options may
// be missing. Two presets are equal when every member is, ids included.
struct DisplayConfig : DisplayOptions {
    // The default preset, used wherever no preset is active: "Custom", not built in, no
    // options, a source-timecode element ("TC:" at 0.05, 0.05) and a clip-name element (no
    // label, at 0.05, 0.1). The preset and its elements get new ids on every call.
    DisplayConfig();
    DisplayConfig(Uuid id, std::string name, bool isBuiltIn, std::vector<BurnInElement> elements,
                  DisplayOptions options = {});

    Uuid id;
    std::string name;
    bool isBuiltIn = false;
    std::vector<BurnInElement> elements;

    friend bool operator==(const DisplayConfig &, const DisplayConfig &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("id", self.id);
        visit("name", self.name);
        visit("isBuiltIn", self.isBuiltIn);
        visit("elements", self.elements);
        DisplayOptions::forEachMember(self, visit);
    }
};

} // namespace tandrel

// Reading does not build the default preset first, so it costs no random ids.
template <> struct nlohmann::adl_serializer<tandrel::DisplayConfig> {
    static tandrel::DisplayConfig from_json(const tandrel::Json &json);
    static void to_json(tandrel::Json &json, const tandrel::DisplayConfig &config);
};
