#include "platform/gpu/Library.h"

#include <fstream>
#include <sstream>

namespace platform {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

bool isIdentifier(std::string_view name) {
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) {
        return false;
    }
    for (char c : name) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!letter && !(c >= '0' && c <= '9') && c != '_') {
            return false;
        }
    }
    return true;
}

} // namespace

std::shared_ptr<Library> Library::fromSource(std::string_view source, Error *error) {
    std::vector<std::shared_ptr<Function>> functions;
    int lineNumber = 0;
    while (!source.empty()) {
        const auto end = source.find('\n');
        const std::string_view line = trimmed(source.substr(0, end));
        source = end == std::string_view::npos ? std::string_view{} : source.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto space = line.find_first_of(" \t");
        const std::string_view stage = line.substr(0, space);
        const std::string_view name =
            space == std::string_view::npos ? std::string_view{} : trimmed(line.substr(space));
        const bool knownStage = stage == "vertex" || stage == "fragment";
        bool repeated = false;
        for (const auto &function : functions) {
            repeated = repeated || function->name() == name;
        }
        if (!knownStage || !isIdentifier(name) || repeated) {
            report(error, errorDomain, 1,
                   "line " + std::to_string(lineNumber) + ": expected a new \"vertex <name>\" " +
                       "or \"fragment <name>\"");
            return nullptr;
        }
        functions.push_back(std::make_shared<Function>(
            std::string(name), stage == "vertex" ? FunctionType::vertex : FunctionType::fragment));
    }
    return std::shared_ptr<Library>(new Library(std::move(functions)));
}

std::shared_ptr<Library> Library::fromBundle(const std::filesystem::path &bundle, Error *error) {
    const std::filesystem::path path = bundle / defaultFileName;
    std::error_code ignored;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, ignored)) {
        file.open(path, std::ios::binary);
    }
    if (!file.is_open()) {
        report(error, errorDomain, 2, "no library at " + path.string());
        return nullptr;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return fromSource(text.str(), error);
}

std::shared_ptr<Function> Library::newFunction(std::string_view name) const {
    for (const auto &function : functions_) {
        if (function->name() == name) {
            return function;
        }
    }
    return nullptr;
}

std::vector<std::string> Library::functionNames() const {
    std::vector<std::string> names;
    for (const auto &function : functions_) {
        names.push_back(function->name());
    }
    return names;
}

} // namespace platform
