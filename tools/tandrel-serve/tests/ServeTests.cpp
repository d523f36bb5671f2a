// Runs tandrel-serve on a copy of the sample library, as a user would, and reads its lines.

#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "core/tests/LibraryFixture.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern char **environ;

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// The program with its output read line by line. Waiting for a line gives up after a minute,
// so that a program that never says it fails the test instead of hanging it.
class Serve {
public:
    Serve(const std::vector<std::string> &arguments, const fs::path &dataHome) {
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("no pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> words{TANDREL_SERVE};
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char *> argv;
        for (std::string &word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        std::vector<std::string> settings{"XDG_DATA_HOME=" + dataHome.string(),
                                          "XDG_CONFIG_HOME=" + (dataHome / "config").string()};
        for (char **variable = environ; *variable; ++variable) {
            const std::string setting = *variable;
            if (!setting.starts_with("XDG_DATA_HOME=") &&
                !setting.starts_with("XDG_CONFIG_HOME=")) {
                settings.push_back(setting);
            }
        }
        std::vector<char *> envp;
        for (std::string &setting : settings) {
            envp.push_back(setting.data());
        }
        envp.push_back(nullptr);
        const int spawned =
            posix_spawn(&pid_, TANDREL_SERVE, &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        output_ = out[0];
        if (spawned != 0) {
            throw std::runtime_error("tandrel-serve did not start");
        }
    }
    ~Serve() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(output_);
    }

    // Everything the program said, once it has ended.
    std::string output() {
        while (read()) {
        }
        return seen + buffer_;
    }

    // The next line that starts with `prefix`; the lines before it are kept in `seen`.
    std::string lineStartingWith(const std::string &prefix) {
        for (;;) {
            const size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                seen += line + "\n";
                if (line.starts_with(prefix)) {
                    return line;
                }
                continue;
            }
            if (!read()) {
                ADD_FAILURE() << "no line starting with \"" << prefix << "\"; output:\n" << seen;
                return {};
            }
        }
    }

    // Sends the signal and returns the exit status.
    int stop(int signalNumber) {
        ::kill(pid_, signalNumber);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }
    int exitStatus() {
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string seen;

private:
    // Adds what the program writes next; false at its end.
    bool read() {
        pollfd ready{output_, POLLIN, 0};
        char chunk[4096];
        const ssize_t length =
            ::poll(&ready, 1, 60'000) == 1 ? ::read(output_, chunk, sizeof chunk) : 0;
        if (length <= 0) {
            return false;
        }
        buffer_.append(chunk, static_cast<size_t>(length));
        return true;
    }

    pid_t pid_ = -1;
    int output_ = -1;
    std::string buffer_;
};

TandrelSnapshot readSnapshot(const fs::path &file) {
    std::ifstream in(file);
    return parseJsonText(std::string(std::istreambuf_iterator<char>(in), {}))
        .get<TandrelSnapshot>();
}

TEST(TandrelServe, ServesTheChosenTimelineAndRewritesItsSnapshotWhenALogFileAppears) {
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    const fs::path snapshot = folder / "data/Tandrel/current.json";
    Serve serve({"--timeline", "Sample", "--preset", "Conform", library.string()}, folder / "data");

    EXPECT_EQ(serve.lineStartingWith("status: "), "status: No libraries loaded");
    EXPECT_EQ(serve.lineStartingWith("snapshot: "),
              "snapshot: 'Sample' written to " + snapshot.string());
    EXPECT_EQ(serve.lineStartingWith("status: Serving"), "status: Serving 'Sample' (8 timelines)");
    const TandrelSnapshot first = readSnapshot(snapshot);
    EXPECT_EQ(first.timelineName, "Sample");
    EXPECT_EQ(first.displayConfig.name, "Conform");
    EXPECT_EQ(first.timelineStartTimecode, "10:00:00:00");
    EXPECT_EQ(first.timelineDropFrame, false);
    EXPECT_EQ(first.entries.size(), 20u);

    // The editor opens a write-ahead log beside an event database.
    testing::writeFile(library / "Day 1/CurrentVersion.fcpevent-wal", "");
    EXPECT_EQ(serve.lineStartingWith("snapshot: "),
              "snapshot: 'Sample' written to " + snapshot.string());
    const TandrelSnapshot second = readSnapshot(snapshot);
    EXPECT_GT(second.updatedAt, first.updatedAt);
    EXPECT_EQ(second.entries.size(), 20u);

    const int status = serve.stop(SIGTERM);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << serve.seen;
    // The snapshot outlives the program, as the host's does.
    EXPECT_TRUE(fs::exists(snapshot));
}

TEST(TandrelServe, ASecondRunOnTheSameSettingsServesTheLibraryAndPresetOfTheFirst) {
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), folder.path());
    const fs::path settings = folder / "host.ini";
    const fs::path snapshot = folder / "data/Tandrel/current.json";
    {
        Serve first({"--settings", settings.string(), "--timeline", "Sample", "--preset", "Conform",
                     library.string()},
                    folder / "data");
        EXPECT_EQ(first.lineStartingWith("status: Serving"),
                  "status: Serving 'Sample' (8 timelines)");
        const int status = first.stop(SIGTERM);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << first.seen;
    }
    fs::remove(snapshot);

    Serve second({"--settings", settings.string(), "--timeline", "Sample"}, folder / "data");
    EXPECT_EQ(second.lineStartingWith("snapshot: "),
              "snapshot: 'Sample' written to " + snapshot.string());
    const TandrelSnapshot served = readSnapshot(snapshot);
    EXPECT_EQ(served.libraryName, "Sample");
    EXPECT_EQ(served.displayConfig.name, "Conform");
    EXPECT_EQ(second.lineStartingWith("status: Serving"), "status: Serving 'Sample' (8 timelines)");
}

TEST(TandrelServe, RefusesWhatItCannotServe) {
    ScratchFolder folder;
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::largeSampleLibrary(2), folder.path());
    struct Case {
        std::vector<std::string> arguments;
        const char *message;
    };
    const Case cases[] = {
        {{}, "usage: tandrel-serve"},
        {{"--timeline"}, "usage: tandrel-serve"},
        {{"--verbose", library.string()}, "usage: tandrel-serve"},
        {{(folder / "missing.fcpbundle").string()}, "is not a library folder (.fcpbundle)"},
        {{folder.path().string()}, "is not a library folder (.fcpbundle)"},
        {{"--preset", "Nothing", library.string()},
         "no preset \"Nothing\"; there are:\n  Netflix QC Layout\n  Conform\n  Colorist"},
        // Without settings there is nothing to restore.
        {{"--timeline", "Sample"}, "usage: tandrel-serve"},
    };
    for (const Case &c : cases) {
        Serve serve(c.arguments, folder / "data");
        EXPECT_EQ(serve.exitStatus(), 2);
        const std::string output = serve.output();
        EXPECT_NE(output.find(c.message), std::string::npos) << output;
    }
}

} // namespace
} // namespace tandrel
