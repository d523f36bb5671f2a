#pragma once

#include "core/support/Json.h"
#include "core/support/Uuid.h"

#include <string>

namespace tandrel::ExtensionBridge {

// One of the host's presets as the editor panel offers it.
struct PresetSummary {
    Uuid id;
    std::string name;

    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("id", self.id);
        visit("name", self.name);
    }

    friend bool operator==(const PresetSummary &, const PresetSummary &) = default;
};

// Both keys are required.
void to_json(Json &json, const PresetSummary &summary);
void from_json(const Json &json, PresetSummary &summary);

} // namespace tandrel::ExtensionBridge
