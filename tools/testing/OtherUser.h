#pragma once

#include "tools/testing/ChildProcess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

namespace tandrel::testing {

// Another user of the machine, for attacks that need one: "nobody", acted as through runuser,
// which only root may do. Tests that need it skip otherwise, saying why.
struct OtherUser {
    static constexpr uid_t uid = 65534;
    static constexpr const char *name = "nobody";

    // Why the tests cannot act as another user here; empty when they can.
    static std::string unavailable() {
        if (::geteuid() != 0) {
            return "acting as another user (nobody) needs root";
        }
        if (::access("/usr/sbin/runuser", X_OK) != 0 && ::access("/sbin/runuser", X_OK) != 0) {
            return "runuser is not installed";
        }
        return {};
    }

    // Runs the command line through the shell as nobody, with umask 000 (the attacker makes
    // what he makes open to all, unless he says otherwise).
    static ChildProcess shell(const std::string &commandLine) {
        return ChildProcess::run("/usr/sbin/runuser",
                                 {"-u", name, "--", "/bin/sh", "-c", "umask 000; " + commandLine});
    }

    // A folder the other user can reach and make things in, as the shared temporary folder is
    // (sticky, open to all), below `base`, whose folders above it he can pass through.
    static std::filesystem::path sharedFolder(const std::filesystem::path &base) {
        for (std::filesystem::path level = base; level != level.parent_path();
             level = level.parent_path()) {
            struct stat status {};
            if (::stat(level.c_str(), &status) == 0 && (status.st_mode & 01) == 0) {
                ::chmod(level.c_str(), (status.st_mode & 07777) | 0711);
            }
        }
        const std::filesystem::path shared = base / "shared";
        std::filesystem::create_directories(shared);
        ::chmod(shared.c_str(), 01777);
        return shared;
    }
};

// A shell word for a path or argument.
inline std::string quotedWord(const std::string &text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace tandrel::testing
