// Detection of the libraries the running editor has open.

#include "host/state/AppState.h"

#include <QString>

#include <algorithm>
#include <iterator>

namespace tandrel {

namespace {

using platform::EditorAutomation;

// The editor's bundle identifiers, most specific first.
constexpr const char *editorBundleIDs[] = {"com.apple.FinalCut", "com.apple.FinalCutApp",
                                           "com.apple.FinalCutTrial"};

constexpr const char *noPermissionText =
    "No Automation permission for Final Cut Pro. Please allow it in System Settings > Privacy & "
    "Security > Automation > Embrik Host > Final Cut Pro.";

// The running editor's bundle identifier: a known one first, else any that mentions the
// editor.
std::optional<std::string> runningEditor(const EditorAutomation &automation) {
    const std::vector<std::string> running = automation.runningBundleIdentifiers();
    for (const std::string &id : running) {
        if (std::find(std::begin(editorBundleIDs), std::end(editorBundleIDs), id) !=
            std::end(editorBundleIDs)) {
            return id;
        }
    }
    for (const std::string &id : running) {
        if (QString::fromStdString(id).contains(QStringLiteral("finalcut"), Qt::CaseInsensitive)) {
            return id;
        }
    }
    return std::nullopt;
}

std::vector<std::filesystem::path> fileURLs(const EditorAutomation::ScriptValue &value) {
    std::vector<std::filesystem::path> urls;
    if (!value.isList) {
        if (value.fileURL) {
            urls.push_back(*value.fileURL);
        }
        return urls;
    }
    for (const std::optional<std::filesystem::path> &item : value.items) {
        if (item) {
            urls.push_back(*item);
        }
    }
    return urls;
}

} // namespace

std::vector<std::filesystem::path> AppState::detectOpenFCPLibraries() {
    publish(lastLibraryDetectionError_, std::optional<std::string>(),
            &AppState::lastLibraryDetectionErrorChanged);
    publish(lastLibraryDetectionNeedsAutomationPermission_, false,
            &AppState::lastLibraryDetectionNeedsAutomationPermissionChanged);
    const auto fail = [this](std::string text, bool needsPermission = false) {
        publish(lastLibraryDetectionError_, std::optional(std::move(text)),
                &AppState::lastLibraryDetectionErrorChanged);
        publish(lastLibraryDetectionNeedsAutomationPermission_, needsPermission,
                &AppState::lastLibraryDetectionNeedsAutomationPermissionChanged);
        return std::vector<std::filesystem::path>();
    };

    EditorAutomation &automation = *services_.editorAutomation;
    const std::optional<std::string> editor = runningEditor(automation);
    if (!editor) {
        return fail("Final Cut Pro isn't running.");
    }
    const std::int32_t status = automation.determinePermission(*editor);
    if (status == EditorAutomation::notPermitted) {
        return fail(noPermissionText, true);
    }
    if (status != EditorAutomation::permitted && status != EditorAutomation::consentRequired) {
        return fail("Could not reach Final Cut Pro (status " + std::to_string(status) +
                    "). Try again once it has fully launched.");
    }

    const std::optional<EditorAutomation::ScriptResult> result = automation.runScript(
        "tell application id \"" + *editor + "\" to get file of every library");
    if (!result) {
        return fail("Internal error: could not create the AppleScript object.");
    }
    if (const auto *error = std::get_if<EditorAutomation::ScriptError>(&*result)) {
        if (error->number == EditorAutomation::notPermitted) {
            return fail(noPermissionText, true);
        }
        return fail("AppleScript error " +
                    (error->number ? std::to_string(*error->number) : std::string("?")) + ": " +
                    error->message.value_or("unknown"));
    }
    return fileURLs(std::get<EditorAutomation::ScriptValue>(*result));
}

} // namespace tandrel
