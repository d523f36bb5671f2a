#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// Our applications as other programs of ours open them by bundle identifier. They are
// installed side by side, so an application is the program of its name in the folder of the
// program that asks: "com.ostrevale.tandrel.host" is embrik-host.
struct ApplicationLauncher {
    struct OpenConfiguration {
        // Whether the application comes to the front. Without, it is started with no
        // start-up activation token of ours, so the desktop has no reason to raise it.
        bool activates = true;
    };

    // The application's program in `programFolder` when it is there and may be run; nothing
    // for an unknown identifier or a program that is not installed.
    static std::optional<std::filesystem::path>
    urlForApplication(const std::string &bundleIdentifier,
                      const std::filesystem::path &programFolder = runningProgramFolder());

    // Starts the application detached and returns; throws std::system_error when it cannot.
    // There is no check whether it runs already: one that keeps to one instance hands over.
    static void openApplication(const std::filesystem::path &application,
                                OpenConfiguration configuration);

    // The folder of this process's executable.
    static std::filesystem::path runningProgramFolder();
};

} // namespace platform
