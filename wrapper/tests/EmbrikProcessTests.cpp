// The staged wrapper application run as its users run it, with a private home and data folder.
#include "wrapper/PluginVersionMarker.h"

#include "wrapper/tests/WrapperFixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::TemporaryFolder;

struct ProcessRun {
    int status = -1;
    std::string output; // standard output and error
};

// Runs the program with exactly the given environment and collects what it prints.
ProcessRun run(const fs::path &program, const std::vector<std::string> &arguments,
               const std::vector<std::string> &environment) {
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const auto &argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char *> envp;
    for (const auto &variable : environment) {
        envp.push_back(const_cast<char *>(variable.c_str()));
    }
    envp.push_back(nullptr);

    int pipe[2];
    EXPECT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    pid_t pid = 0;
    EXPECT_EQ(::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    ProcessRun result;
    char buffer[4096];
    for (ssize_t count; (count = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
        result.output.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<std::string> privateEnvironment(const TemporaryFolder &temp) {
    fs::create_directories(temp.path() / "home");
    return {"HOME=" + (temp.path() / "home").string(),
            "XDG_DATA_HOME=" + (temp.path() / "data").string(),
            "XDG_RUNTIME_DIR=" + temp.path().string(), "PATH=/usr/bin:/bin"};
}

const fs::path stagedBundle = TANDREL_EMBRIK_BUNDLE;

TEST(Embrik, ASilentInstallationSucceedsQuietlyAndRecordsTheBuild) {
    TemporaryFolder temp;
    auto environment = privateEnvironment(temp);
    environment.push_back("QT_QPA_PLATFORM=offscreen");

    const ProcessRun result =
        run(stagedBundle / "Contents" / "MacOS" / "Embrik", {"--silent-install"}, environment);

    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(fs::is_regular_file(temp.path() / "home" /
                                    "Movies/Motion Templates.localized/Effects.localized/"
                                    "Ostrevale/Embrik/Embrik.moef"));
    EXPECT_EQ(PluginVersionMarker::read(temp.path() / "data" / "Tandrel" / "plugin_version.json"),
              (PluginVersionMarker{TANDREL_PROJECT_VERSION, TANDREL_BUILD_NUMBER}));
}

TEST(Embrik, WithoutADisplayPrintsItsFailureAndExitsWithStatusOne) {
    TemporaryFolder temp;
    const fs::path bundle = temp.path() / "Embrik.app";
    fs::copy(stagedBundle, bundle, fs::copy_options::recursive);
    fs::remove(bundle / "Contents/Resources/MotionTemplate/Embrik/Embrik.moef");

    const ProcessRun result = run(bundle / "Contents" / "MacOS" / "Embrik", {"--silent-install"},
                                  privateEnvironment(temp));

    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.output, "Could not install the Motion template.\n\ntemplateNotFound\n");
    EXPECT_FALSE(fs::exists(temp.path() / "home" / "Movies"));
    EXPECT_FALSE(fs::exists(temp.path() / "data" / "Tandrel" / "plugin_version.json"));
}

} // namespace
} // namespace tandrel
