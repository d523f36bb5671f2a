#pragma once

#include <string>

namespace tandrel {

// Where the check that keeps the installed plug-in in step with the host stands.
class PluginUpdateState {
public:
    enum Case { installed, failed, upToDate, installing, needsAppManagementPermission };

    PluginUpdateState(Case c = upToDate) : case_(c) {}
    // The build that was installed.
    static PluginUpdateState installedBuild(std::string build) {
        return {installed, std::move(build)};
    }
    static PluginUpdateState failure(std::string message) { return {failed, std::move(message)}; }

    Case kind() const { return case_; }
    // The installed build or the failure's message; empty for the other cases.
    const std::string &payload() const { return payload_; }

    friend bool operator==(const PluginUpdateState &, const PluginUpdateState &) = default;

private:
    PluginUpdateState(Case c, std::string payload) : case_(c), payload_(std::move(payload)) {}

    Case case_;
    std::string payload_;
};

} // namespace tandrel
