#pragma once

#include "core/model/FCPEvent.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tandrel {

// What a scan of one library bundle (".fcpbundle") returns.
struct FCPLibrary {
    // The bundle folder as it was handed to the scan.
    std::filesystem::path url;
    // The bundle's last path component without its extension.
    std::string name;
    // In scan order.
    std::vector<FCPEvent> events;

    friend bool operator==(const FCPLibrary &, const FCPLibrary &) = default;
};

} // namespace tandrel
