#include "platform/workspace/ApplicationLauncher.h"

#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::ScopedEnvironmentVariable;
using tandrel::testing::TemporaryFolder;

TEST(ApplicationLauncher, FindsTheHostBesideTheProgramThatAsks) {
    TemporaryFolder temp;
    EXPECT_EQ(ApplicationLauncher::urlForApplication("com.ostrevale.tandrel.host", temp.path()),
              std::nullopt);
    const fs::path host = temp.path() / "embrik-host";
    std::ofstream(host) << "#!/bin/sh\n";
    EXPECT_EQ(ApplicationLauncher::urlForApplication("com.ostrevale.tandrel.host", temp.path()),
              std::nullopt)
        << "a file that may not be run is no application";
    ::chmod(host.c_str(), 0755);
    EXPECT_EQ(ApplicationLauncher::urlForApplication("com.ostrevale.tandrel.host", temp.path()),
              host);
    EXPECT_EQ(ApplicationLauncher::urlForApplication("com.ostrevale.tandrel", temp.path()),
              std::nullopt);
    EXPECT_EQ(ApplicationLauncher::runningProgramFolder(),
              fs::read_symlink("/proc/self/exe").parent_path());
}

TEST(ApplicationLauncher, StartsDetachedAndUnraisedWhenItMustNotActivate) {
    TemporaryFolder temp;
    const fs::path program = temp.path() / "embrik-host";
    // The program reports whether it was given tokens to raise its window, and its parent.
    std::ofstream(program) << "#!/bin/sh\n"
                              "echo \"[${DESKTOP_STARTUP_ID-}][${XDG_ACTIVATION_TOKEN-}] $PPID "
                              "${KEPT-}\" > \"$REPORT\"\n";
    ::chmod(program.c_str(), 0755);
    const fs::path report = temp.path() / "report";
    ScopedEnvironmentVariable reportVariable("REPORT", report.string());
    ScopedEnvironmentVariable startup("DESKTOP_STARTUP_ID", "startup-1");
    ScopedEnvironmentVariable token("XDG_ACTIVATION_TOKEN", "token-1");
    ScopedEnvironmentVariable kept("KEPT", "kept");

    for (const bool activates : {false, true}) {
        ASSERT_EQ(::mkfifo(report.c_str(), 0600), 0);
        ApplicationLauncher::openApplication(program, {.activates = activates});
        // Opening the pipe waits for the program to write.
        std::ifstream stream(report);
        std::string tokens;
        pid_t parent = 0;
        std::string other;
        stream >> tokens >> parent >> other;
        EXPECT_EQ(tokens, activates ? "[startup-1][token-1]" : "[][]");
        EXPECT_NE(parent, ::getpid());
        EXPECT_EQ(other, "kept");
        fs::remove(report);
    }
}

} // namespace
} // namespace platform
