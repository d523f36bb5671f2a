#pragma once

#include "platform/bundle/Bundle.h"
#include "platform/filemanager/FileManager.h"

#include <filesystem>
#include <stdexcept>

namespace tandrel {

// Installs the effect's Motion template from the wrapper's bundle into the user's Motion
// Templates folder, where the editor lists it:
// "<home>/Movies/Motion Templates.localized/Effects.localized/Ostrevale/Embrik".
//
// An earlier template is replaced only once the new copy is complete: the copy goes to a
// hidden folder beside the destination, the old folder is renamed aside, the copy renamed in,
// and only then is the old one removed. A failure on the way leaves the old template in
// place. Links found at the destination or the legacy folder are removed as links; nothing
// is followed through them. The editor must read the template, so its folders are 0755 and
// its files 0644 (0755 where executable), writable by their owner only whatever the umask or
// the modes in the wrapper's bundle; the folders from "Movies" down to our own "Ostrevale" are
// narrowed so if they were wider, and a folder on the way that another user may still write
// (FileAccess's othersMayWrite) stops the installation before anything is copied.
class MotionTemplateInstaller {
public:
    // The installer's own failure; its text is the case's name. `templateNotFound`: the
    // bundle holds no "MotionTemplate/Embrik/Embrik.moef" resource.
    class InstallError : public std::runtime_error {
    public:
        enum class Case { templateNotFound };

        explicit InstallError(Case errorCase)
            : std::runtime_error("templateNotFound"), case_(errorCase) {}
        Case errorCase() const { return case_; }

    private:
        Case case_;
    };

    MotionTemplateInstaller(platform::Bundle bundle, std::filesystem::path home,
                            platform::FileManager &files = platform::FileManager::standard())
        : bundle_(std::move(bundle)), home_(std::move(home)), files_(files) {}

    // The folder that holds the installed template, and the legacy folder beside it.
    std::filesystem::path targetBase() const;
    std::filesystem::path destination() const { return targetBase() / "Embrik"; }
    std::filesystem::path legacyFolder() const { return targetBase() / "Embrikin"; }

    // Installs the template; answers the installed template file. Throws `templateNotFound`
    // before touching anything under "Movies", a std::runtime_error naming the folder that
    // others may write, or the file operation's std::system_error.
    std::filesystem::path install();

private:
    platform::Bundle bundle_;
    std::filesystem::path home_;
    platform::FileManager &files_;
};

} // namespace tandrel
