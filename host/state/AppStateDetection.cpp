// Detection of the editor's open libraries.

#include "host/state/AppState.h"

namespace tandrel {

std::vector<std::filesystem::path> AppState::detectOpenFCPLibraries() {
    publish(lastLibraryDetectionError_, std::optional<std::string>(),
            &AppState::lastLibraryDetectionErrorChanged);
    publish(lastLibraryDetectionNeedsAutomationPermission_, false,
            &AppState::lastLibraryDetectionNeedsAutomationPermissionChanged);
    if (!services_.editorOpenLibraries) {
        publish(lastLibraryDetectionError_,
                std::optional<std::string>("Final Cut Pro isn't running."),
                &AppState::lastLibraryDetectionErrorChanged);
        return {};
    }
    return services_.editorOpenLibraries();
}

} // namespace tandrel
