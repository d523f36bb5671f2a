#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace platform {

// A program found running. The handle stays tied to that very process: a process number
// reused after it ended never receives its requests.
class RunningApplication {
public:
    virtual ~RunningApplication() = default;

    virtual pid_t processIdentifier() const = 0;
    // The polite request to quit (SIGTERM); whether it was delivered.
    virtual bool terminate() = 0;
    // Whether the process has ended (reaped or not).
    virtual bool isTerminated() const = 0;
};

// The running programs of application bundles, and starting them.
class Workspace {
public:
    virtual ~Workspace() = default;

    // Programs of the system, read from /proc; safe from any thread.
    static Workspace &system();

    // Every running program, other than this one, whose executable lies inside the bundle
    // (its /proc/PID/exe, also when that file has since been deleted or replaced). Programs
    // of other users, whose executables cannot be read, are not seen.
    virtual std::vector<std::unique_ptr<RunningApplication>>
    runningApplications(const std::filesystem::path &bundle) = 0;

    // Starts the bundle's executable (Bundle::executablePath) without arguments and detached
    // from this process: in a session of its own, standard input from /dev/null, no file
    // descriptor of ours but standard output and error, never waited for. Returns once the
    // program runs; throws std::system_error when it cannot be started.
    virtual void openApplication(const std::filesystem::path &bundle) = 0;
};

// Starts the program without arguments, detached as Workspace::openApplication starts a bundle,
// with the environment given (a null-terminated list of NAME=VALUE texts). Throws
// std::system_error when it cannot be started.
void launchDetached(const std::filesystem::path &program, char *const *environment);

} // namespace platform
