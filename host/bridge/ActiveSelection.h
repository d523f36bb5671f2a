#pragma once

#include "core/support/Json.h"
#include "core/support/Uuid.h"

#include <chrono>
#include <optional>
#include <string>

namespace tandrel::ExtensionBridge {

// What the editor panel last chose: the sequence open in the editor and the preset picked in
// the panel, either of them absent, and when it said so.
struct ActiveSelection {
    std::optional<std::string> sequenceName;
    std::optional<Uuid> selectedPresetID;
    // Seconds since 1 January 2001, 00:00 UTC.
    double updatedAt = 0;

    // Seconds from 1970 to 2001.
    static constexpr double referenceDateSince1970 = 978'307'200;
    static double secondsSinceReferenceDate(std::chrono::system_clock::time_point time);

    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("sequenceName", self.sequenceName);
        visit("selectedPresetID", self.selectedPresetID);
        visit("updatedAt", self.updatedAt);
    }

    friend bool operator==(const ActiveSelection &, const ActiveSelection &) = default;
};

// Absent values are left out and read as absent, null too; "updatedAt" is required.
void to_json(Json &json, const ActiveSelection &selection);
void from_json(const Json &json, ActiveSelection &selection);

} // namespace tandrel::ExtensionBridge
