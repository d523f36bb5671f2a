// Asking the running editor for its open libraries, with the editor played by hand.

#include "host/state/tests/StateFixture.h"

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using platform::EditorAutomation;
using Paths = std::vector<fs::path>;

constexpr const char *noPermission =
    "No Automation permission for Final Cut Pro. Please allow it in System Settings > Privacy & "
    "Security > Automation > Embrik Host > Final Cut Pro.";

class AppStateDetection : public testing::StateTest {};

TEST_F(AppStateDetection, EachWayTheRequestEndsGivesItsLibrariesOrItsText) {
    using Value = EditorAutomation::ScriptValue;
    using Error = EditorAutomation::ScriptError;
    const fs::path a = "/Users/editor/Movies/A.fcpbundle";
    const fs::path b = "/Volumes/Media/B.fcpbundle";
    struct Case {
        const char *what;
        std::vector<std::string> running;
        std::int32_t permission;
        std::optional<EditorAutomation::ScriptResult> answer;
        Paths libraries;
        std::optional<std::string> error;
        bool needsPermission;
        // The editor the request went to; none when it was not sent.
        std::optional<std::string> askedEditor;
    };
    // In this order on one state object, so that each row also shows the fields cleared.
    const Case cases[] = {
        {"no editor running",
         {"com.example.Mail"},
         0,
         {},
         {},
         "Final Cut Pro isn't running.",
         false,
         std::nullopt},
        {"a known id before one that merely says finalcut",
         {"com.example.FinalCutHelper", "com.apple.FinalCutTrial"},
         0,
         Value{.isList = true, .items = {a, b}},
         {a, b},
         std::nullopt,
         false,
         "com.apple.FinalCutTrial"},
        {"an id that says finalcut in another case",
         {"com.example.Mail", "org.example.FINALCUT-companion"},
         0,
         Value{.isList = true},
         {},
         std::nullopt,
         false,
         "org.example.FINALCUT-companion"},
        {"permission denied",
         {"com.apple.FinalCut"},
         -1743,
         {},
         {},
         noPermission,
         true,
         std::nullopt},
        {"consent still to be given: the request goes ahead",
         {"com.apple.FinalCutApp"},
         -1744,
         Value{.isList = true, .items = {b}},
         {b},
         std::nullopt,
         false,
         "com.apple.FinalCutApp"},
        {"the target not found",
         {"com.apple.FinalCut"},
         -600,
         {},
         {},
         "Could not reach Final Cut Pro (status -600). Try again once it has fully launched.",
         false,
         std::nullopt},
        {"no script object",
         {"com.apple.FinalCut"},
         0,
         std::nullopt,
         {},
         "Internal error: could not create the AppleScript object.",
         false,
         "com.apple.FinalCut"},
        {"permission denied to the script",
         {"com.apple.FinalCut"},
         0,
         Error{-1743, "denied"},
         {},
         noPermission,
         true,
         "com.apple.FinalCut"},
        {"a script error with neither number nor message",
         {"com.apple.FinalCut"},
         0,
         Error{},
         {},
         "AppleScript error ?: unknown",
         false,
         "com.apple.FinalCut"},
        {"a script error",
         {"com.apple.FinalCut"},
         0,
         Error{-1728, "Can't get every library."},
         {},
         "AppleScript error -1728: Can't get every library.",
         false,
         "com.apple.FinalCut"},
        {"an item without a file skipped",
         {"com.apple.FinalCut"},
         0,
         Value{.isList = true, .items = {b, std::nullopt, a}},
         {b, a},
         std::nullopt,
         false,
         "com.apple.FinalCut"},
        {"one value that is a file",
         {"com.apple.FinalCut"},
         0,
         Value{.fileURL = a},
         {a},
         std::nullopt,
         false,
         "com.apple.FinalCut"},
        {"one value that is not",
         {"com.apple.FinalCut"},
         0,
         Value{},
         {},
         std::nullopt,
         false,
         "com.apple.FinalCut"},
    };
    for (const Case &c : cases) {
        editor->running = c.running;
        editor->permission = c.permission;
        editor->answer = c.answer;
        editor->scripts.clear();
        EXPECT_EQ(state().detectOpenFCPLibraries(), c.libraries) << c.what;
        EXPECT_EQ(state().lastLibraryDetectionError(), c.error) << c.what;
        EXPECT_EQ(state().lastLibraryDetectionNeedsAutomationPermission(), c.needsPermission)
            << c.what;
        if (c.askedEditor) {
            EXPECT_EQ(editor->permissionAskedFor.back(), *c.askedEditor) << c.what;
            ASSERT_EQ(editor->scripts.size(), 1u) << c.what;
        } else {
            EXPECT_TRUE(editor->scripts.empty()) << c.what;
        }
    }
    EXPECT_EQ(editor->scripts.back(),
              "tell application id \"com.apple.FinalCut\" to get file of every library");
    // Detection changes nothing else.
    EXPECT_TRUE(state().watchedLibraries().empty());
}

TEST_F(AppStateDetection, OnThisSystemNoEditorIsRunning) {
    AppState::Services services = fakeServices();
    services.editorAutomation = EditorAutomation::system();
    AppState system(services);
    EXPECT_EQ(system.detectOpenFCPLibraries(), Paths{});
    EXPECT_EQ(system.lastLibraryDetectionError(), "Final Cut Pro isn't running.");
    EXPECT_FALSE(system.lastLibraryDetectionNeedsAutomationPermission());
}

} // namespace
} // namespace tandrel
