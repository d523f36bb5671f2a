#pragma once

#include "tools/testing/ChildProcess.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace tandrel::testing {

// A program killed (SIGKILL) at each step of its save, through strace's fault injection: run
// once for every call of each system call given (the first write, the second write, ...), each
// run killed at that call, until a run goes past its last such call and ends by itself.
struct KilledAtEveryStep {
    // The calls of a save: its writes, renames and flushes.
    static std::vector<std::string> saveCalls() {
        return {"write", "rename",    "renameat", "renameat2",
                "fsync", "fdatasync", "unlink",   "unlinkat"};
    }

    // Why the program cannot be traced here (no strace, or tracing is not allowed); empty when it
    // can.
    static std::string unavailable() {
        if (::access(strace, X_OK) != 0) {
            return "strace is not installed";
        }
        if (ChildProcess::run(strace, {"-qq", "-o", "/dev/null", "/bin/true"}).status != 0) {
            return "strace cannot trace here";
        }
        return {};
    }

    // `environment` is added to this process's ("XDG_DATA_HOME=/x"). Before each run `before()`
    // sets the files up; after each killed run `afterKill(call, n, output)` checks what it left.
    // Answers how many runs were killed.
    static int
    run(const std::string &program, const std::vector<std::string> &arguments,
        const std::vector<std::string> &environment, const std::function<void()> &before,
        const std::function<void(const std::string &, int, const std::string &)> &afterKill,
        const std::vector<std::string> &calls = saveCalls()) {
        int kills = 0;
        for (const std::string &call : calls) {
            for (int n = 1;; ++n) {
                before();
                std::vector<std::string> words{
                    "-f", "-qq",
                    "-o", "/dev/null",
                    "-e", "trace=" + call,
                    "-e", "inject=" + call + ":signal=KILL:when=" + std::to_string(n),
                    "--", "/usr/bin/env"};
                // LeakSanitizer stops the world through ptrace, which a traced process cannot: in
                // a sanitizer build it would end every run with an error of its own.
                words.push_back(sanitizerOptions());
                words.insert(words.end(), environment.begin(), environment.end());
                words.push_back(program);
                words.insert(words.end(), arguments.begin(), arguments.end());
                const ChildProcess traced = ChildProcess::run(strace, words);
                if (traced.status != -1) {
                    break; // it ran past its last such call
                }
                ++kills;
                SCOPED_TRACE("killed at " + call + " #" + std::to_string(n));
                afterKill(call, n, traced.output);
                if (::testing::Test::HasFatalFailure() || n > 500) {
                    return kills;
                }
            }
        }
        return kills;
    }

private:
    static std::string sanitizerOptions() {
        const char *given = std::getenv("ASAN_OPTIONS");
        return std::string("ASAN_OPTIONS=") + (given != nullptr ? given : "") +
               (given != nullptr && *given != '\0' ? ":" : "") + "detect_leaks=0";
    }

    static constexpr const char *strace = "/usr/bin/strace";
};

} // namespace tandrel::testing
