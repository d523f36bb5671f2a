#include "host/app/PrivateFolders.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/FileAccess.h"
#include "host/bridge/ExtensionBridge.h"
#include "platform/runtime/KeyValueStore.h"

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tandrel {

void narrowPrivateFolders() noexcept {
    const std::filesystem::path settings =
        platform::SettingsKeyValueStore::standardUserDefaultsFile();
    std::vector<std::pair<std::filesystem::path, FileAccess>> paths{
        {settings.parent_path(), FileAccess::userOnly}, {settings, FileAccess::userOnly}};
    try {
        const std::filesystem::path data = applicationSupportDirectory();
        const std::filesystem::path ours = data / "Tandrel";
        const std::filesystem::path group = data / ExtensionBridge::suiteName;
        for (const std::filesystem::path &path :
             {ours, ours / "current.json", ours / "feedback_retry_queue.json",
              ours / "plugin_version.json", group,
              group / (std::string(ExtensionBridge::suiteName) + ".ini"),
              group / ExtensionBridge::groundTruthDropsFolder}) {
            paths.emplace_back(path, FileAccess::userOnly);
        }
    } catch (const std::runtime_error &) {
        // No home folder: nothing of ours is there to narrow.
    }
    narrowAtStart(paths);
}

} // namespace tandrel
