#include "wrapper/MotionTemplateInstaller.h"

#include "core/support/Uuid.h"

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
    if (somethingAt(legacyFolder())) {
        try {
            files_.removeItem(legacyFolder());
        } catch (const std::system_error &) {
            // A leftover of an older release is no reason to fail.
        }
    }
    replaceDestination(source);
    return destination() / "Embrik.moef";
}

void MotionTemplateInstaller::replaceDestination(const std::filesystem::path &source) {
    const std::string tag = Uuid::random().uuidString();
    const std::filesystem::path fresh = targetBase() / (".Embrik.new-" + tag);
    const std::filesystem::path aside = targetBase() / (".Embrik.old-" + tag);
    const auto discardFresh = [&] {
        try {
            files_.removeItem(fresh);
        } catch (const std::system_error &) {
        }
    };
    try {
        files_.copyItem(source, fresh);
    } catch (...) {
        discardFresh();
        throw;
    }
    const bool hadOld = somethingAt(destination());
    if (hadOld) {
        try {
            files_.moveItem(destination(), aside);
        } catch (...) {
            discardFresh();
            throw;
        }
    }
    try {
        files_.moveItem(fresh, destination());
    } catch (...) {
        if (hadOld) {
            try {
                files_.moveItem(aside, destination());
            } catch (const std::system_error &) {
                // The old template stays under its hidden name; the error below says why.
            }
        }
        discardFresh();
        throw;
    }
    if (hadOld) {
        try {
            files_.removeItem(aside);
        } catch (const std::system_error &) {
            // The new template is in place; the hidden old copy is only clutter.
        }
    }
}

} // namespace tandrel
