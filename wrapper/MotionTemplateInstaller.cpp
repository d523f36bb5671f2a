#include "wrapper/MotionTemplateInstaller.h"

#include "core/support/FileAccess.h"

namespace tandrel {

namespace {

bool somethingAt(const std::filesystem::path &path) {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

} // namespace

std::filesystem::path MotionTemplateInstaller::targetBase() const {
    return home_ / "Movies" / "Motion Templates.localized" / "Effects.localized" / "Ostrevale";
}

std::filesystem::path MotionTemplateInstaller::install() {
    const auto resource = bundle_.urlForResource("MotionTemplate");
    if (!resource) {
        throw InstallError(InstallError::Case::templateNotFound);
    }
    const std::filesystem::path source = *resource / "Embrik";
    std::error_code error;
    if (!std::filesystem::exists(source / "Embrik.moef", error)) {
        throw InstallError(InstallError::Case::templateNotFound);
    }
    files_.createDirectories(targetBase());
    // The editor reads the template; nobody else may change it, also where an earlier install
    // left our folder open to others.
    narrowAtStart({{targetBase(), FileAccess::standard}});
    if (somethingAt(legacyFolder())) {
        try {
            files_.removeItem(legacyFolder());
        } catch (const std::system_error &) {
            // A leftover of an older release is no reason to fail.
        }
    }
    files_.replaceItem(source, destination());
    return destination() / "Embrik.moef";
}

} // namespace tandrel
