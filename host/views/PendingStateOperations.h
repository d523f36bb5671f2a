#pragma once

#include "host/state/AppState.h"

namespace tandrel {

// Operations of the state object that the views call and that the state object does not have
// yet. Each calls the state object's own once it has one; until then it stands in with what
// the state object offers today.
struct PendingStateOperations {
    // "Refresh Now": every watched library scanned again.
    template <typename State = AppState> static void refreshNow(State &state) {
        if constexpr (requires { state.refreshNow(); }) {
            state.refreshNow();
        } else {
            // Stand-in: each library reloads from the main queue, as after a change on disk
            // (without the state object's refreshing flag).
            for (const WatchedLibrary &library : state.watchedLibraries()) {
                state.handleLibraryChange(library.url);
            }
        }
    }

    // "Detect from Final Cut Pro": the libraries open in the editor, in its order; nothing
    // while the state object cannot ask the editor.
    template <typename State = AppState>
    static std::vector<std::filesystem::path> detectOpenFCPLibraries(State &state) {
        if constexpr (requires { state.detectOpenFCPLibraries(); }) {
            return state.detectOpenFCPLibraries();
        } else {
            return {};
        }
    }
};

} // namespace tandrel
