#pragma once

#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// The once-per-launch comparison of the installed plug-in's build (the version marker's) with
// the host's, and the outcome the host publishes for its banner. Plain functions: the host's
// state object runs `run` from its start sequence and stores each published state.
class PluginUpdateCheck {
public:
    // The outcome: `installed(build)`, `failed(reason)`, `upToDate`, `installing`,
    // `needsAppManagementPermission`. Equal when the case and the text are. A reason is a
    // short clause without a final stop ("the download failed").
    class State {
    public:
        enum class Case { installed, failed, upToDate, installing, needsAppManagementPermission };

        static State installed(std::string build) { return {Case::installed, std::move(build)}; }
        static State failed(std::string reason) { return {Case::failed, std::move(reason)}; }
        static State upToDate() { return {Case::upToDate, {}}; }
        static State installing() { return {Case::installing, {}}; }
        static State needsAppManagementPermission() {
            return {Case::needsAppManagementPermission, {}};
        }

        Case stateCase() const { return case_; }
        // The build of `installed`, the reason of `failed`; empty otherwise.
        const std::string &text() const { return text_; }

        friend bool operator==(const State &, const State &) = default;

    private:
        State(Case stateCase, std::string text) : case_(stateCase), text_(std::move(text)) {}

        Case case_;
        std::string text_;
    };

    // What the check reads.
    struct Inputs {
        // The host's own "CFBundleVersion".
        std::string hostBuild;
        // Where the version marker is; nothing when there is no place for one.
        std::optional<std::filesystem::path> markerLocation;
        // The installed wrapper application, "/Applications/Embrik.app" as configured.
        std::filesystem::path installedApplication;
    };

    // Starts the installation over a plug-in of the given build and calls `done` on the
    // calling thread when it ends: nothing for success, else the failure.
    using Installer = std::function<void(std::int64_t installedBuild,
                                         std::function<void(std::exception_ptr)> done)>;

    // A build number: an optional "+" or "-" then ASCII digits only, within 64 bits.
    static std::optional<std::int64_t> buildNumber(std::string_view text);

    // The installed build when the plug-in is older than the host and so needs the update;
    // nothing when the marker is missing, unreadable, undecodable, its build is no number, or
    // it is not older, nor when the installed application's own build is not older. The
    // larger of the two when both are. A host build that is no number counts as 0.
    static std::optional<std::int64_t> outdatedBuild(const Inputs &inputs);

    // After a successful installation: `installed` with the build of the installed
    // application's information, else the marker's build read again, else "?".
    static State stateAfterSuccess(const Inputs &inputs);

    // After a failed one: `needsAppManagementPermission` for the installer's permission
    // failure, else `failed` with a short reason for the user (the installer's reason(); a
    // fixed one for a failed transfer, the temporary files or anything else). The failure's
    // whole description goes to the log.
    static State stateAfterFailure(const std::exception_ptr &failure);

    // The check: `upToDate` when nothing is to be done; otherwise `installing` (published
    // before the installer is called), then the outcome when the installer is done.
    static void run(const Inputs &inputs, const Installer &installer,
                    const std::function<void(const State &)> &publish);
};

} // namespace tandrel
