#include "platform/runtime/AppGroup.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/FileAccess.h"
#include "core/support/Log.h"
#include "core/support/PrivateFolder.h"

#include <QString>

#include <mutex>
#include <set>
#include <stdexcept>
#include <system_error>

namespace platform {

std::optional<std::filesystem::path> AppGroup::containerURL(const std::string &identifier,
                                                            std::string *problem) {
    if (identifier.empty() || identifier == "." || identifier == ".." ||
        identifier.find('/') != std::string::npos) {
        return std::nullopt;
    }
    std::filesystem::path data;
    try {
        data = tandrel::applicationSupportDirectory();
    } catch (const std::runtime_error &) {
        return std::nullopt;
    }
    try {
        // The data folder may be shared; the group's folder in it is the user's alone.
        return tandrel::PrivateFolder::openBelow(data, identifier,
                                                 tandrel::PrivateFolder::Missing::create)
            .path();
    } catch (const tandrel::NotOursError &error) {
        static std::mutex lock;
        static std::set<std::string> told;
        const std::lock_guard guard(lock);
        if (told.insert(error.what()).second) {
            tandrel::logger("com.ostrevale.tandrel", "bridge")
                ->error("The app group's folder is not used: {}", error.what());
        }
        if (problem != nullptr) {
            *problem = error.what();
        }
    } catch (const std::filesystem::filesystem_error &) {
    }
    return std::nullopt;
}

std::shared_ptr<KeyValueStore> AppGroup::suite(const std::string &identifier) {
    const auto container = containerURL(identifier);
    if (!container) {
        return nullptr;
    }
    return SettingsKeyValueStore::iniFile(
        QString::fromStdString((*container / (identifier + ".ini")).string()),
        tandrel::FileAccess::userOnly);
}

} // namespace platform
