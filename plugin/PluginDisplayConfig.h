#pragma once

#include "core/model/BurnInElement.h"
#include "core/model/DisplayOptions.h"
#include "core/support/Json.h"

#include <vector>

namespace tandrel {

// The active preset as the plug-in reads it from the snapshot: only `elements` is required;
// the display options may be missing, and the preset's id, name and built-in flag are not
// read. Elements are read with the host's element defaults.
struct PluginDisplayConfig : DisplayOptions {
    std::vector<BurnInElement> elements;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("elements", self.elements);
        DisplayOptions::forEachMember(self, visit);
    }
};

void to_json(Json &json, const PluginDisplayConfig &config);
void from_json(const Json &json, PluginDisplayConfig &config);

} // namespace tandrel
