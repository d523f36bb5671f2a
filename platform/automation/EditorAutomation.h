#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// Scripted requests to another running application: which applications run, whether this
// program may send them requests, and running a request written as a script. The host asks
// the editor this way for the libraries it has open.
class EditorAutomation {
public:
    // Answers of the permission check; any other value is an error of the system.
    static constexpr std::int32_t permitted = 0;
    // The user has not been asked yet: the request asks them, so it may go ahead.
    static constexpr std::int32_t consentRequired = -1744;
    static constexpr std::int32_t notPermitted = -1743;
    // The target cannot be named or found.
    static constexpr std::int32_t targetNotFound = -600;

    // What a script answered: one value, or a list of them; a value may be a file.
    struct ScriptValue {
        bool isList = false;
        // The value's file, when it is one value that is a file.
        std::optional<std::filesystem::path> fileURL = {};
        // The list's items by position: each item's file, when it is one.
        std::vector<std::optional<std::filesystem::path>> items = {};

        friend bool operator==(const ScriptValue &, const ScriptValue &) = default;
    };
    // A script that failed: its error number and message, each when it gave one.
    struct ScriptError {
        std::optional<std::int64_t> number = {};
        std::optional<std::string> message = {};

        friend bool operator==(const ScriptError &, const ScriptError &) = default;
    };
    using ScriptResult = std::variant<ScriptValue, ScriptError>;

    virtual ~EditorAutomation() = default;

    // The system's. No editor application runs on this platform, so it finds none running,
    // the target of every permission check is not found, and no script can be made.
    static std::shared_ptr<EditorAutomation> system();

    // The bundle identifiers of the running applications, in the system's order.
    virtual std::vector<std::string> runningBundleIdentifiers() const = 0;
    // Whether requests of any kind may be sent to the application; may ask the user and wait
    // for the answer.
    virtual std::int32_t determinePermission(const std::string &targetBundleID) = 0;
    // Makes the script from its source and runs it, waiting for the answer; nothing when the
    // script cannot be made.
    virtual std::optional<ScriptResult> runScript(const std::string &source) = 0;
};

} // namespace platform
