#include "platform/workspace/Workspace.h"

#include "core/tests/ScopedEnvironmentVariable.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>

extern char **environ;

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::ScopedEnvironmentVariable;
using tandrel::testing::TemporaryFolder;

pid_t start(const fs::path &program, const char *argument) {
    pid_t pid = 0;
    char *const arguments[] = {const_cast<char *>(program.c_str()), const_cast<char *>(argument),
                               nullptr};
    EXPECT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, arguments, environ), 0);
    return pid;
}

int terminatingSignal(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
}

TEST(Workspace, FindsTheRunningCopiesOfABundleAndAsksThemToQuit) {
    TemporaryFolder temp;
    const fs::path bundle = temp.path() / "Embrik.app";
    const fs::path copy = bundle / "Contents" / "MacOS" / "Embrik";
    fs::create_directories(copy.parent_path());
    fs::copy_file("/bin/sleep", copy);
    fs::create_directories(temp.path() / "Other.app");
    fs::copy_file("/bin/sleep", temp.path() / "Other.app" / "sleep");

    // posix_spawn returns once the new program runs, so /proc already shows it.
    const pid_t inside = start(copy, "1000");
    const pid_t outside = start(temp.path() / "Other.app" / "sleep", "1000");

    auto running = Workspace::system().runningApplications(bundle);
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0]->processIdentifier(), inside);
    EXPECT_FALSE(running[0]->isTerminated());
    EXPECT_TRUE(running[0]->terminate());
    EXPECT_EQ(terminatingSignal(inside), SIGTERM);
    EXPECT_TRUE(running[0]->isTerminated());
    EXPECT_FALSE(running[0]->terminate()) << "an ended process is not signalled again";

    EXPECT_TRUE(Workspace::system().runningApplications(bundle).empty());
    ::kill(outside, SIGKILL);
    EXPECT_EQ(terminatingSignal(outside), SIGKILL);
}

TEST(Workspace, OpensABundleDetachedWithoutArguments) {
    TemporaryFolder temp;
    const fs::path bundle = temp.path() / "Embrik.app";
    const fs::path program = bundle / "Contents" / "MacOS" / "Embrik";
    fs::create_directories(program.parent_path());
    // The program reports its argument count, its parent and its standard input.
    std::ofstream(program) << "#!/bin/sh\n"
                              "echo \"$# $PPID $(readlink /proc/$$/fd/0)\" > \"$REPORT\"\n";
    ::chmod(program.c_str(), 0755);
    const fs::path report = temp.path() / "report";
    ASSERT_EQ(::mkfifo(report.c_str(), 0600), 0);
    ScopedEnvironmentVariable variable("REPORT", report.string());

    Workspace::system().openApplication(bundle);

    // Opening the pipe waits for the program to write.
    std::ifstream stream(report);
    int count = -1;
    pid_t parent = 0;
    std::string input;
    stream >> count >> parent >> input;
    EXPECT_EQ(count, 0);
    EXPECT_NE(parent, ::getpid());
    EXPECT_EQ(input, "/dev/null");
}

TEST(Workspace, ReportsAProgramThatCannotStart) {
    TemporaryFolder temp;
    try {
        Workspace::system().openApplication(temp.path() / "Missing.app");
        ADD_FAILURE() << "started";
    } catch (const std::system_error &error) {
        EXPECT_EQ(error.code().value(), ENOENT);
    }
}

} // namespace
} // namespace platform
