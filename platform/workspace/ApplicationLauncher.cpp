#include "platform/workspace/ApplicationLauncher.h"

#include "platform/workspace/Workspace.h"

#include <unistd.h>

#include <array>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

extern char **environ;

namespace platform {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 1> knownApplications{{
    {"com.ostrevale.tandrel.host", "embrik-host"},
}};

// What tells a desktop to raise the window of a program just started (X11 and Wayland).
constexpr std::array<std::string_view, 2> activationVariables{"DESKTOP_STARTUP_ID=",
                                                              "XDG_ACTIVATION_TOKEN="};

} // namespace

std::optional<std::filesystem::path>
ApplicationLauncher::urlForApplication(const std::string &bundleIdentifier,
                                       const std::filesystem::path &programFolder) {
    for (const auto &[identifier, program] : knownApplications) {
        if (identifier != bundleIdentifier) {
            continue;
        }
        const std::filesystem::path path = programFolder / program;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error) && ::access(path.c_str(), X_OK) == 0) {
            return path;
        }
    }
    return std::nullopt;
}

void ApplicationLauncher::openApplication(const std::filesystem::path &application,
                                          OpenConfiguration configuration) {
    std::vector<char *> environment;
    for (char **variable = environ; *variable; ++variable) {
        const std::string_view setting = *variable;
        bool activating = false;
        for (const std::string_view name : activationVariables) {
            activating = activating || setting.starts_with(name);
        }
        if (configuration.activates || !activating) {
            environment.push_back(*variable);
        }
    }
    environment.push_back(nullptr);
    launchDetached(application, environment.data());
}

std::filesystem::path ApplicationLauncher::runningProgramFolder() {
    std::error_code error;
    return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

} // namespace platform
