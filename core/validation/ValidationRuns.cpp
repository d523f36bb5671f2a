#include "core/validation/ValidationRuns.h"

#include "core/support/AsciiText.h"
#include "core/support/UnicodeText.h"

namespace tandrel {

ValidationRuns::RunNumber ValidationRuns::begin(const std::filesystem::path &file) {
    std::string name = withControlsShown(fileName(file));
    const std::lock_guard lock(mutex_);
    state_ = State{nullptr, true, std::nullopt, std::move(name)};
    return ++newest_;
}

bool ValidationRuns::finish(RunNumber number, Outcome outcome) {
    const std::lock_guard lock(mutex_);
    if (number != newest_ || !state_.isRunning) {
        return false;
    }
    state_.isRunning = false;
    if (auto *report = std::get_if<ValidationReport>(&outcome)) {
        state_.report = std::make_shared<const ValidationReport>(std::move(*report));
    } else {
        // Errors quote paths and names from outside.
        state_.errorMessage = withControlsShown(std::get<Failure>(outcome).description);
    }
    return true;
}

ValidationRuns::State ValidationRuns::state() const {
    const std::lock_guard lock(mutex_);
    return state_;
}

bool ValidationRuns::acceptsDroppedFile(const std::filesystem::path &file) {
    // As a path's extension: a name that only starts with a dot (".fcpxml") has none.
    // Only ASCII letters can lower-case to the letters of the two extensions.
    const std::string extension =
        asciiLowercased(std::filesystem::path(fileName(file)).extension().string());
    return extension == ".fcpxml" || extension == ".fcpxmld";
}

std::string ValidationRuns::fileName(const std::filesystem::path &file) {
    std::filesystem::path rest = file;
    // Each step is shorter, down to the root, which has no relative part.
    while (rest.filename().empty() && rest.has_relative_path()) {
        rest = rest.parent_path();
    }
    return rest.filename().string();
}

} // namespace tandrel
