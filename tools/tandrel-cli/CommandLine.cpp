#include "tools/tandrel-cli/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <exception>

namespace tandrel::cli {

namespace {

constexpr char program[] = "tandrel-cli";

bool isHelp(std::string_view word) {
    return word == "--help" || word == "-h";
}

std::string inQuotes(std::string_view text) {
    std::string result = "\"";
    result.append(text).append("\"");
    return result;
}

std::string usageOf(std::span<const Command> commands, std::string_view notes) {
    std::string text = "usage:\n";
    for (const Command &command : commands) {
        text.append("  ").append(command.usage()).append("\n      ");
        text.append(command.summary).append("\n");
    }
    text.append("  ").append(program).append(" --help\n      prints this\n\n");
    text.append(notes).append("\n");
    return text;
}

const Option *optionNamed(const Command &command, std::string_view name) {
    const auto found = std::find_if(command.options.begin(), command.options.end(),
                                    [&](const Option &option) { return option.name == name; });
    return found == command.options.end() ? nullptr : &*found;
}

} // namespace

std::optional<std::string> Arguments::option(std::string_view name) const {
    const auto found = options.find(name);
    return found == options.end() ? std::nullopt : std::optional(found->second);
}

std::string Command::usage() const {
    std::string text(program);
    text.append(" ").append(name);
    for (std::string_view operand : operands) {
        text.append(" ").append(operand);
    }
    for (const Option &option : options) {
        text.append(" [").append(option.name).append(" ").append(option.value).append("]");
    }
    return text;
}

Arguments parseArguments(const Command &command, std::span<const std::string_view> words) {
    Arguments arguments;
    bool onlyOperands = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string_view word = words[i];
        if (word == "--" && !onlyOperands) {
            onlyOperands = true; // what follows is no option, even when it starts with "--"
            continue;
        }
        if (onlyOperands || !word.starts_with("--")) {
            if (arguments.operands.size() == command.operands.size()) {
                throw UsageError(std::string(command.name) + " takes no further argument " +
                                 inQuotes(word));
            }
            arguments.operands.emplace_back(word);
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const Option *option = optionNamed(command, name);
        if (!option) {
            throw UsageError(std::string(command.name) + " has no option " + inQuotes(name));
        }
        std::string value;
        if (equals != std::string_view::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            value = words[++i];
        } else {
            throw UsageError(std::string(name) + " needs " + std::string(option->value));
        }
        arguments.options.insert_or_assign(std::string(name), std::move(value));
    }
    if (arguments.operands.size() < command.operands.size()) {
        throw UsageError(std::string(command.name) + " needs " +
                         std::string(command.operands[arguments.operands.size()]));
    }
    return arguments;
}

int runCommandLine(std::span<const Command> commands, std::span<const std::string_view> words,
                   std::string_view notes) {
    if (!words.empty() && isHelp(words.front())) {
        std::fputs(usageOf(commands, notes).c_str(), stdout);
        return 0;
    }
    if (words.empty()) {
        std::fputs(usageOf(commands, notes).c_str(), stderr);
        return 2;
    }
    const auto command =
        std::find_if(commands.begin(), commands.end(),
                     [&](const Command &candidate) { return candidate.name == words.front(); });
    if (command == commands.end()) {
        std::fprintf(stderr, "%s: unknown command %s\n%s", program, inQuotes(words.front()).c_str(),
                     usageOf(commands, notes).c_str());
        return 2;
    }
    const auto rest = words.subspan(1);
    if (std::any_of(rest.begin(), std::find(rest.begin(), rest.end(), "--"), isHelp)) {
        std::printf("usage: %s\n      %s\n", command->usage().c_str(),
                    std::string(command->summary).c_str());
        return 0;
    }
    try {
        return command->run(parseArguments(*command, rest));
    } catch (const UsageError &error) {
        std::fprintf(stderr, "%s: %s\nusage: %s\n", program, error.what(),
                     command->usage().c_str());
        return 2;
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s: %s\n", program, error.what());
        return 1;
    }
}

} // namespace tandrel::cli
