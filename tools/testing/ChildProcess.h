#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

extern char **environ;

namespace tandrel::testing {

// What a program run by a test did: its exit status (-1 when a signal ended it) and what it
// wrote to standard output and error, in one stream.
struct ChildProcess {
    int status = -1;
    std::string output;

    // Runs the program to its end; with no environment given, in this process's.
    static ChildProcess run(const std::filesystem::path &program,
                            const std::vector<std::string> &arguments,
                            const std::vector<std::string> *environment = nullptr) {
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const auto &argument : arguments) {
            argv.push_back(const_cast<char *>(argument.c_str()));
        }
        argv.push_back(nullptr);
        std::vector<char *> envp;
        if (environment != nullptr) {
            for (const auto &variable : *environment) {
                envp.push_back(const_cast<char *>(variable.c_str()));
            }
            envp.push_back(nullptr);
        }

        ChildProcess result;
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0) {
            return result;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
        pid_t pid = 0;
        const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(),
                                          environment != nullptr ? envp.data() : environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        if (spawned == 0) {
            char buffer[4096];
            for (ssize_t count; (count = ::read(pipe[0], buffer, sizeof buffer)) > 0;) {
                result.output.append(buffer, static_cast<std::size_t>(count));
            }
            int status = 0;
            ::waitpid(pid, &status, 0);
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        ::close(pipe[0]);
        return result;
    }

    // Runs a command line through the shell, as popen would.
    static ChildProcess shell(const std::string &commandLine) {
        return run("/bin/sh", {"-c", commandLine});
    }
};

} // namespace tandrel::testing
