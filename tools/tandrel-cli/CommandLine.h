#pragma once

#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel::cli {

// What one command was given: its operands in order and the values of its options.
struct Arguments {
    std::vector<std::string> operands;
    std::map<std::string, std::string, std::less<>> options;

    std::optional<std::string> option(std::string_view name) const;
};

// An option of a command that takes a value: "--preset NAME" (or "--preset=NAME").
struct Option {
    std::string_view name;
    std::string_view value;
};

// One command of tandrel-cli: what it takes, one line on what it does, and the function that
// does it. The function returns the exit status; it may throw, which ends the program with
// the error's text and status 1.
struct Command {
    std::string_view name;
    std::vector<std::string_view> operands;
    std::vector<Option> options;
    std::string_view summary;
    int (*run)(const Arguments &);

    // "tandrel-cli snapshot LIBRARY TIMELINE [--preset NAME]"
    std::string usage() const;
};

// Wrong arguments for a command: what is wrong ("edl needs TIMELINE").
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments after a command's name, checked against what it takes. Fails with UsageError.
Arguments parseArguments(const Command &command, std::span<const std::string_view> words);

// Runs the command that the words name. Exit status: 0 done (also for --help or -h, which
// print the usage on stdout), 1 failed (the error on stderr), 2 wrong arguments (what is
// wrong and the usage on stderr).
int runCommandLine(std::span<const Command> commands, std::span<const std::string_view> words,
                   std::string_view notes);

} // namespace tandrel::cli
