#pragma once

#include "core/validation/TimelineValidator.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <variant>

namespace tandrel {

// The checks one validation view (the window or the tile) has started against FCPXML files:
// the file loaded last, whether a check is running, and the outcome on screen.
//
// A view starts a check whenever a file arrives (a drop, the chooser, a pending export), and
// nothing cancels one, so several may be in flight. They are numbered: only the newest
// check's outcome is shown, an older one that ends later is dropped, and the view stays
// running until the newest ends. Otherwise a slow first check would end the running state
// of a second one, and its verdict would stand under the second file's name.
//
// Checks end on the thread they ran on, so every member may be called from any thread; the
// state is read as one consistent copy.
class ValidationRuns {
public:
    using ValidationReport = TimelineValidator::ValidationReport;

    // A check that made no report: its error's description, shown as it is but for its
    // control characters.
    struct Failure {
        std::string description;
        bool operator==(const Failure &) const = default;
    };
    using Outcome = std::variant<ValidationReport, Failure>;
    using RunNumber = uint64_t;

    struct State {
        // Shared with the views that show it, which keep it while the next check runs.
        std::shared_ptr<const ValidationReport> report;
        bool isRunning = false;
        // Both with their control characters shown (withControlsShown), never obeyed.
        std::optional<std::string> errorMessage;
        // The file being or last checked, as fileName() gives it.
        std::optional<std::string> loadedFileName;
    };

    // Starts a check of `file`: its name loaded, the outcome cleared, running. Never looks at
    // the checks still in flight.
    RunNumber begin(const std::filesystem::path &file);
    // Ends check `number` with its outcome: shown, and no longer running, when it is the
    // newest check; dropped when a newer one has begun or it has ended already. Says whether
    // it was shown.
    bool finish(RunNumber number, Outcome outcome);
    State state() const;

    // Whether a dropped file or folder is checked: its name ends in ".fcpxml" or ".fcpxmld",
    // in any case. ".xml" is not: only the chooser offers plain XML.
    static bool acceptsDroppedFile(const std::filesystem::path &file);
    // The last component of the path; a folder's trailing separator does not count.
    static std::string fileName(const std::filesystem::path &file);

private:
    mutable std::mutex mutex_;
    State state_;
    RunNumber newest_ = 0;
};

} // namespace tandrel
