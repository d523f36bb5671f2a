#pragma once

#include "wrapper/MotionTemplateInstaller.h"
#include "wrapper/PluginVersionMarker.h"

#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tandrel {

// The wrapper application's whole work, run once at launch on the main thread: install the
// Motion template, record the installed version, report the result, and quit (at once after
// a silent success, otherwise when the user closes the status window).
class AppDelegate {
public:
    using InstallError = MotionTemplateInstaller::InstallError;

    struct Environment {
        // The wrapper's own bundle: its template resource and its information.
        platform::Bundle bundle;
        // The user's home folder, which holds "Movies".
        std::filesystem::path home;
        // Where the version marker goes; nothing when there is no place for it.
        std::optional<std::filesystem::path> markerLocation;
        // Asks the application to quit with the exit status once control returns to its
        // event loop.
        std::function<void(int)> terminate;
        // With no window system (an unattended installation on a machine without a display)
        // the result goes to standard output or, for a failure, standard error, and the
        // application quits with status 0 or 1 instead of showing its window.
        bool headless = false;
        platform::FileManager *files = &platform::FileManager::standard();
    };

    explicit AppDelegate(Environment environment) : environment_(std::move(environment)) {}

    // Whether the arguments hold "--silent-install" as a whole element.
    static bool isSilentInstall(const std::vector<std::string> &arguments);

    // Closing the status window quits the application.
    static bool applicationShouldTerminateAfterLastWindowClosed() { return true; }

    // The installation, reported: after a silent success the application is asked to quit
    // and nothing is shown; every failure is shown, silent or not.
    void applicationDidFinishLaunching(const std::vector<std::string> &arguments);

    // The status window, once shown.
    QWidget *window() const { return window_.get(); }

private:
    std::filesystem::path installMotionTemplate();
    void showStatusWindow(bool templateInstalled, const std::optional<std::string> &errorDetail);
    void writeInstalledVersionMarker();

    Environment environment_;
    std::unique_ptr<QWidget> window_;
};

} // namespace tandrel
