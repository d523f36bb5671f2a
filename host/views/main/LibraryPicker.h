#pragma once

#include <filesystem>
#include <optional>

class QWidget;

namespace tandrel {

class AppState;

// Asks the user for an editor library: a modal folder chooser. An interface, so that tests
// answer in its place.
class LibraryPicker {
public:
    static constexpr const char *message = "Select an FCP Library (.fcpbundle)";

    virtual ~LibraryPicker() = default;

    // The chosen folder, or nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> chooseLibrary(QWidget *parent) = 0;

    // A folder dialog that shows folders only.
    static LibraryPicker &system();
};

// "Add Library...": the chosen library is watched (the state object ignores anything that is
// no library, and one already watched); cancelling does nothing.
void openLibraryFilePicker(AppState &state, LibraryPicker &picker, QWidget *parent);

} // namespace tandrel
