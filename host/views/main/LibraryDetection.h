#pragma once

#include "host/query/WatchedLibrary.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The rules and texts of "Detect from Final Cut Pro": which of the editor's open libraries
// are new, what happens with them, the choice dialog's buttons, and the two ways to repair a
// refused Automation permission.
struct LibraryDetection {
    static constexpr const char *title = "Detect from Final Cut Pro";
    static constexpr const char *symbol = "wand.and.stars";
    static constexpr const char *dialogTitle = "Multiple libraries are open in Final Cut Pro";
    static constexpr const char *addAllTitle = "Add All";
    static constexpr const char *cancelTitle = "Cancel";
    static constexpr const char *openAutomationSettingsTitle = "Open Automation Settings";
    static constexpr const char *copyResetCommandTitle = "Copy Reset Command";
    static constexpr const char *copyResetCommandHelp =
        "If Embrik Host doesn't appear under Automation at all, copy and run this in Terminal, "
        "then try Detect again.";
    static constexpr const char *copiedHint =
        "Copied. Run it in Terminal, make sure Final Cut Pro is open, then click \"Detect from "
        "Final Cut Pro\" again \u2014 that's what actually registers Embrik Host with "
        "Automation.";
    // The Automation list of the system's privacy settings, where a system has one.
    static constexpr const char *automationSettingsAddress =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Automation";
    // The host's identifier, when the running program names none.
    static constexpr const char *defaultBundleIdentifier = "com.ostrevale.tandrel.host";

    // What a detection leads to.
    struct Step {
        enum class Kind {
            // Nothing new (or nothing found: the error, if any, is the state object's).
            nothing,
            // One new library: added at once.
            addOne,
            // Two or more: the user chooses among them.
            choose,
        };
        Kind kind = Kind::nothing;
        // The new libraries, in the editor's order.
        std::vector<std::filesystem::path> libraries;

        friend bool operator==(const Step &, const Step &) = default;
    };

    // The libraries the editor listed that are not watched, in its order; one listed twice
    // counts twice. A folder named with a trailing separator is the same folder.
    static std::vector<std::filesystem::path>
    freshLibraries(const std::vector<std::filesystem::path> &found,
                   const std::vector<WatchedLibrary> &watched);
    static Step next(const std::vector<std::filesystem::path> &found,
                     const std::vector<WatchedLibrary> &watched);
    // A choice's label: the library's file name without its extension.
    static std::string choiceLabel(const std::filesystem::path &library);
    // The command that resets the host's Apple-events permission.
    static std::string resetCommand(const std::optional<std::string> &bundleIdentifier);
};

} // namespace tandrel
