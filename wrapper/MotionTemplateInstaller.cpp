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
    // The editor reads the template; nobody else may change it, nor put another in its place:
    // the folders on the way, which we (or an older release, under any umask) made, are
    // narrowed, and one that stays open to others, or that is another user's, stops the
    // installation before anything is made in it.
    const std::filesystem::path movies = home_ / "Movies";
    const std::filesystem::path templates = movies / "Motion Templates.localized";
    narrowAtStart({{movies, FileAccess::standard},
                   {templates, FileAccess::standard},
                   {templates / "Effects.localized", FileAccess::standard},
                   {targetBase(), FileAccess::standard}});
    if (const auto why = othersMayWrite(targetBase())) {
        throw std::runtime_error(*why + ", so another user could put a template of their own "
                                        "where the editor loads it");
    }
    files_.createDirectories(targetBase());
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
