#pragma once

// A program of ours run by a test as a user would run it, with a data folder of the test's.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

extern char **environ;

namespace tandrel::testing {

// The program, its data and settings under `dataHome`, with its output (standard output and
// error) read line by line while it runs. Waiting for a line gives up after a minute, so that a
// program that never says it fails the test instead of hanging it.
class RunningProgram {
public:
    RunningProgram(const std::string &program, const std::vector<std::string> &arguments,
                   const std::filesystem::path &dataHome) {
        int out[2];
        if (::pipe(out) != 0) {
            throw std::runtime_error("no pipe");
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> words{program};
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
            posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        output_ = out[0];
        if (spawned != 0) {
            throw std::runtime_error(program + " did not start");
        }
    }
    ~RunningProgram() {
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

// A program run to its end: its exit status and all it said.
struct Finished {
    int status;
    std::string output;
};

inline Finished runToEnd(const std::string &program, const std::vector<std::string> &arguments,
                         const std::filesystem::path &dataHome) {
    RunningProgram running(program, arguments, dataHome);
    const int status = running.exitStatus();
    return {status, running.output()};
}

// tandrel-serve (`serve`) on the library, once it has published its presets to the bridge, as
// tandrel-bridge (`bridge`) sees it.
inline std::unique_ptr<RunningProgram> servingOncePublished(const std::string &serve,
                                                            const std::string &bridge,
                                                            const std::filesystem::path &library,
                                                            const std::filesystem::path &dataHome) {
    RunningProgram watch(bridge, {"watch", "--count", "1"}, dataHome);
    watch.lineStartingWith("watching");
    auto serving = std::make_unique<RunningProgram>(serve, std::vector{library.string()}, dataHome);
    EXPECT_EQ(watch.lineStartingWith("com."), "com.ostrevale.tandrel.presetsChanged");
    EXPECT_EQ(watch.exitStatus(), 0);
    return serving;
}

} // namespace tandrel::testing
