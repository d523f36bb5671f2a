#include "platform/workspace/Workspace.h"
#include "platform/workspace/PollingClock.h"

#include "platform/bundle/Bundle.h"

#include <fcntl.h>
#include <poll.h>
// Debian's C library declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <optional>
#include <string>
#include <system_error>
#include <thread>

extern char **environ;

namespace platform {

namespace {

class SystemClock final : public PollingClock {
public:
    TimePoint now() override { return std::chrono::steady_clock::now(); }
    void sleepFor(std::chrono::nanoseconds duration) override {
        std::this_thread::sleep_for(duration);
    }
};

// The executable of a process, without the mark the kernel adds once the file is deleted.
std::optional<std::string> executableOf(pid_t pid) {
    std::error_code error;
    std::string path =
        std::filesystem::read_symlink("/proc/" + std::to_string(pid) + "/exe", error).string();
    if (error) {
        return std::nullopt;
    }
    constexpr std::string_view deleted = " (deleted)";
    if (path.size() > deleted.size() && path.ends_with(deleted)) {
        path.resize(path.size() - deleted.size());
    }
    return path;
}

bool liesInside(const std::optional<std::string> &path, const std::string &folder) {
    return path && path->size() > folder.size() && path->starts_with(folder) &&
           (*path)[folder.size()] == '/';
}

class Process final : public RunningApplication {
public:
    Process(pid_t pid, int pidfd) : pid_(pid), pidfd_(pidfd) {}
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;
    ~Process() override { ::close(pidfd_); }

    pid_t processIdentifier() const override { return pid_; }

    bool terminate() override { return ::pidfd_send_signal(pidfd_, SIGTERM, nullptr, 0) == 0; }

    bool isTerminated() const override {
        pollfd poll{pidfd_, POLLIN, 0};
        return ::poll(&poll, 1, 0) > 0 && (poll.revents & POLLIN) != 0;
    }

private:
    pid_t pid_;
    int pidfd_;
};

class SystemWorkspace final : public Workspace {
public:
    std::vector<std::unique_ptr<RunningApplication>>
    runningApplications(const std::filesystem::path &bundle) override {
        std::vector<std::unique_ptr<RunningApplication>> found;
        std::error_code error;
        const std::string folder = std::filesystem::weakly_canonical(bundle, error).string();
        if (error) {
            return found;
        }
        for (auto it = std::filesystem::directory_iterator("/proc", error);
             !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
            const std::string name = it->path().filename().string();
            if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
                continue;
            }
            const pid_t pid = static_cast<pid_t>(std::stol(name));
            if (pid == ::getpid() || !liesInside(executableOf(pid), folder)) {
                continue;
            }
            const int pidfd = ::pidfd_open(pid, 0);
            if (pidfd < 0) {
                continue;
            }
            // The process may have ended, and its number gone to another, between the look
            // at its executable and the open: look again now that the handle holds it.
            auto process = std::make_unique<Process>(pid, pidfd);
            if (liesInside(executableOf(pid), folder) && !process->isTerminated()) {
                found.push_back(std::move(process));
            }
        }
        return found;
    }

    void openApplication(const std::filesystem::path &bundle) override {
        launchDetached(Bundle(bundle).executablePath(), environ);
    }
};

} // namespace

void launchDetached(const std::filesystem::path &program, char *const *environment) {
    const std::string executable = program.string();
    char *const arguments[] = {const_cast<char *>(executable.c_str()), nullptr};
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        throw std::system_error(errno, std::generic_category(), "Cannot launch");
    }
    // Between fork and exec only async-signal-safe calls: the host has other threads.
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) {
            // The launched program becomes nobody's child of ours, so nothing has to
            // reap it.
            if (grandchild < 0) {
                const int failure = errno;
                (void)!::write(report[1], &failure, sizeof failure);
            }
            ::_exit(0);
        }
        const int input = ::open("/dev/null", O_RDONLY);
        if (input > 0) {
            ::dup2(input, 0);
            ::close(input);
        }
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execve(arguments[0], arguments, environment);
        const int failure = errno;
        (void)!::write(report[1], &failure, sizeof failure);
        ::_exit(127);
    }
    const int forkError = errno;
    ::close(report[1]);
    if (child < 0) {
        ::close(report[0]);
        throw std::system_error(forkError, std::generic_category(), "Cannot launch");
    }
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
    // End of file: exec closed the last copy of the pipe, the program runs.
    int failure = 0;
    ssize_t count = 0;
    do {
        count = ::read(report[0], &failure, sizeof failure);
    } while (count < 0 && errno == EINTR);
    ::close(report[0]);
    if (count == sizeof failure) {
        throw std::system_error(failure, std::generic_category(),
                                "Cannot launch \"" + executable + "\"");
    }
}

PollingClock &PollingClock::system() {
    static SystemClock clock;
    return clock;
}

Workspace &Workspace::system() {
    static SystemWorkspace workspace;
    return workspace;
}

} // namespace platform
