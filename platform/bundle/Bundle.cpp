#include "platform/bundle/Bundle.h"

#include "core/database/PropertyListReader.h"
#include "platform/bundle/BundlePath.h"
#include "platform/filemanager/FileManager.h"

namespace platform {

Bundle Bundle::ofExecutable(const std::filesystem::path &executable) {
    const std::filesystem::path folder = executable.parent_path();
    const std::filesystem::path contents = folder.parent_path();
    const std::filesystem::path bundle = contents.parent_path();
    if (folder.filename() == "MacOS" && contents.filename() == "Contents" &&
        bundle.extension() == ".app") {
        return Bundle(bundle);
    }
    return Bundle(folder);
}

std::optional<std::filesystem::path> Bundle::urlForResource(std::string_view name) const {
    const std::filesystem::path resource = path_ / "Contents" / "Resources" / name;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(resource, error))) {
        return std::nullopt;
    }
    return resource;
}

std::optional<std::string> Bundle::infoString(std::string_view key) const {
    const auto bytes = readRegularFile(path_ / "Contents" / "Info.plist", maxInfoBytes);
    if (!bytes) {
        return std::nullopt;
    }
    try {
        const tandrel::PlistValue info = tandrel::PropertyListReader::read(
            {reinterpret_cast<const uint8_t *>(bytes->data()), bytes->size()});
        const tandrel::PlistValue *value = info.find(key);
        if (value == nullptr || value->asString() == nullptr) {
            return std::nullopt;
        }
        return *value->asString();
    } catch (const tandrel::PropertyListError &) {
        return std::nullopt;
    }
}

std::filesystem::path Bundle::executablePath() const {
    const auto name = infoString("CFBundleExecutable");
    if (name && !BundlePath::problem(*name) && name->find('/') == std::string::npos) {
        return path_ / "Contents" / "MacOS" / *name;
    }
    return path_ / "Contents" / "MacOS" / path_.stem();
}

} // namespace platform
