#pragma once

#include "platform/archive/ArchiveExtractor.h"
#include "platform/codesign/CodeSignature.h"
#include "platform/filemanager/FileManager.h"
#include "platform/workspace/PollingClock.h"
#include "platform/workspace/Workspace.h"

#include <chrono>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tandrel {

// Brings the installed wrapper application (Embrik, which carries the effect) up to the
// host's level: downloads the latest wrapper as a zip archive from the update server into a
// private temporary folder, unpacks it, accepts it only when its signature shows the build's
// team and its assessment accepts it and it is newer than the installed build, asks running
// copies of the wrapper to quit, replaces the installed application and launches the new copy
// (which installs its Motion template and rewrites the version marker).
//
// The download runs on the Qt event loop of the calling thread; everything after it runs on
// the global QThreadPool. The steps after the download are plain functions of this class,
// free of Qt, so that tools and tests run them directly.
class PluginUpdateInstaller {
public:
    // The installer's own failures; what() is the readable description, with the details a
    // maker needs (the entry, the tool's output), for the log and the signing tool; reason()
    // is what a user is told.
    class InstallError : public std::runtime_error {
    public:
        enum class Case {
            httpStatus,
            unzip,
            codeSignatureMismatch,
            notarizationRejected,
            replaceFailed,
            appNotFoundInZip,
            appManagementPermissionDenied,
            notNewer,
            noUpdateServer,
            updateServerRefused,
            downloadTooLarge,
            unsignedEntry,
            noTrustedKey,
            downloadTimedOut,
            applicationsOpenToOthers,
        };

        // "Download server returned HTTP <code>." (−1: the answer was not HTTP).
        static InstallError httpStatus(int code);
        // "Could not unpack the download: <output>"
        static InstallError unzip(const std::string &output);
        // "Downloaded app failed signature verification: <output>"
        static InstallError codeSignatureMismatch(const std::string &output);
        // The same case for a signature that verifies, but of a team other than the one
        // required: "Downloaded app failed signature verification: it is signed by the team
        // <signing>, not by the team <required> that this build requires (the signing tool
        // said: <output, its lines joined by "; ">)".
        static InstallError otherTeam(const std::string &signingTeam,
                                      const std::string &requiredTeam, const std::string &output);
        // "Downloaded app failed notarization check: <output>"
        static InstallError notarizationRejected(const std::string &output);
        // "Could not install into /Applications: <description>"
        static InstallError replaceFailed(const std::string &description);
        static InstallError appNotFoundInZip();
        static InstallError appManagementPermissionDenied();
        // "The download's build <N> is not newer than the installed build <M>." (the version
        // marker's), or "… than the build <M> of the installed Embrik.app." when the
        // application's own is the newer.
        static InstallError notNewer(const std::string &downloadBuild, std::int64_t installedBuild,
                                     bool theApplicationsOwn = false);
        // "No update server is configured."
        static InstallError noUpdateServer();
        // "The update server "<server>" is refused: <reason>." (the reason names the part of
        // the address that is not allowed). `server` is the address as shown to the user,
        // already without its password and with control characters escaped.
        static InstallError updateServerRefused(
            const std::string &server,
            const std::string &reason = "it must use https, or http to this machine");
        static InstallError downloadTooLarge(std::uint64_t limit);
        // "Could not install into /Applications: <why>; another user could change what
        // Embrik Host launches from there." (`why` names the folder: FileAccess's
        // othersMayWrite).
        static InstallError applicationsOpenToOthers(const std::string &why);
        // "The update server did not send the download within <N> seconds."
        static InstallError downloadTimedOut(std::chrono::milliseconds limit);
        // "The download holds "<name>" beside Embrik.app, which no signature covers."
        static InstallError unsignedEntry(const std::string &name);
        // "This build trusts no update key." (or none of the team, when it trusts others').
        static InstallError noTrustedKey(const std::string &team, bool trustsOtherTeams);

        Case errorCase() const { return case_; }
        // The HTTP status of `httpStatus`; 0 for the other cases.
        int statusCode() const { return statusCode_; }
        // What went wrong in a few plain words for the user, as a clause without a final
        // stop ("the download's signature could not be verified"): never a path, a name from
        // the archive or a tool's output.
        const std::string &reason() const { return reason_; }

    private:
        InstallError(Case errorCase, const std::string &description, std::string reason,
                     int statusCode = 0)
            : std::runtime_error(description), case_(errorCase), reason_(std::move(reason)),
              statusCode_(statusCode) {}

        Case case_;
        std::string reason_;
        int statusCode_;
    };

    // The stand-ins for the system's archive, code-signing and assessment tools: each answers
    // an exit status and its output. Virtual so that tests can answer anything.
    class Tools {
    public:
        explicit Tools(std::vector<platform::TrustedKey> trusted,
                       platform::ExtractionLimits limits = {})
            : trusted_(std::move(trusted)), limits_(limits) {}
        virtual ~Tools() = default;

        // Unpacks the archive into the folder: status 0, or 1 and why it was refused.
        virtual platform::ToolResult unpack(const std::filesystem::path &zip,
                                            const std::filesystem::path &into);
        virtual platform::ToolResult displaySignature(const std::filesystem::path &app);
        virtual platform::ToolResult assess(const std::filesystem::path &app);

    private:
        std::vector<platform::TrustedKey> trusted_;
        platform::ExtractionLimits limits_;
    };

    struct Configuration {
        // The update server (scheme, host and optionally port and a leading path); empty:
        // none, and every download fails.
        std::string server;
        // Stands in for "/Applications" (the texts keep that name).
        std::filesystem::path applicationsDirectory;
        // The team whose signature is required.
        std::string teamIdentifier;
        std::vector<platform::TrustedKey> trustedKeys;
        // Where the update's private folder is made.
        std::filesystem::path temporaryDirectory;
        std::uint64_t maxDownloadBytes = std::uint64_t{256} << 20;
        // The longest the whole download may take, however steadily a server trickles it:
        // an answer of a byte a second never counts as idle.
        std::chrono::milliseconds maxDownloadTime{std::chrono::minutes(10)};
        platform::ExtractionLimits extractionLimits;

        // The build's settings: server (the environment's TANDREL_UPDATE_SERVER when set),
        // team and trusted keys from the build; TANDREL_APPLICATIONS_DIR when it is an
        // absolute path, else "Applications" in the home folder; "Tandrel" in the user's cache
        // folder ($XDG_CACHE_HOME, else ".cache" in the home folder) as the temporary folder,
        // never one shared with others (the system's only without a home folder).
        static Configuration standard();
    };

    // The seams of everything after the download. Null members take the system's own.
    struct Seams {
        std::shared_ptr<Tools> tools;
        platform::PollingClock *clock = nullptr;
        platform::Workspace *workspace = nullptr;
        platform::FileManager *files = nullptr;
    };

    // The archive's path on the server, and the full installer's.
    static constexpr const char *pluginZipPath = "/tandrel-updates/Embrik-Plugin-latest.zip";
    static constexpr const char *installerPath = "/tandrel-updates/Embrik-Installer-latest.pkg";
    static constexpr const char *applicationName = "Embrik.app";
    static constexpr std::chrono::milliseconds terminationTimeout{3000};
    static constexpr std::chrono::milliseconds terminationPollInterval{100};

    explicit PluginUpdateInstaller(Configuration configuration);
    PluginUpdateInstaller(Configuration configuration, Seams seams);

    // The whole update, over an installed plug-in of build `installedBuild` (the version
    // marker's): only a newer download is installed. `done` runs on the calling thread's event
    // loop, with nothing on success or the failure: an InstallError, a std::system_error of
    // the temporary folder, or a failed transfer (a std::runtime_error with the network's
    // description). The private temporary folder is gone before `done` runs. Needs a running
    // Qt event loop on the calling thread.
    void installLatestPlugin(std::int64_t installedBuild,
                             std::function<void(std::exception_ptr)> done) const;

    const Configuration &configuration() const { return configuration_; }
    // "<applications>/Embrik.app".
    std::filesystem::path installedApplication() const;

    // The steps after the download, all blocking, none on the main thread.

    // The new private folder "EmbrikPluginUpdate-<UUID>" (mode 0700) in the temporary folder,
    // which is made (0700) where it is missing. With `lock`, the folder is held locked until
    // the last copy of that descriptor closes: an update that finds such a folder unlocked
    // knows that the process that made it has died.
    std::filesystem::path makeTemporaryFolder(std::shared_ptr<const void> *lock = nullptr) const;
    // Removes the private folders that updates which died left in the temporary folder (the
    // user's own, which no living update holds locked); failures leave them where they are.
    void removeLeftoverFolders() const;
    // Steps after the download, the archive being "plugin.zip" in `temporaryFolder`: unpack
    // into "extracted", find the application, verify it, check that it is newer, install it
    // and launch it. Leaves the folder for the caller to remove.
    void installDownloadedArchive(const std::filesystem::path &temporaryFolder,
                                  std::int64_t installedBuild) const;
    // Fails with `noTrustedKey` when the build trusts no key of its team, so that no update
    // could ever verify: said before anything is downloaded.
    void requireTrustedKey() const;
    // Unpacks the archive into "extracted" in `temporaryFolder`, finds the application, makes
    // sure nothing else came out of the archive, and verifies the application; answers the
    // verified application. The failures' texts name the archive's entries, never the
    // temporary folder.
    std::filesystem::path unpackAndVerify(const std::filesystem::path &zip,
                                          const std::filesystem::path &temporaryFolder) const;
    // The folder "Embrik.app" directly inside `extracted`; a file or link of that name is no
    // application.
    static std::optional<std::filesystem::path>
    applicationIn(const std::filesystem::path &extracted);
    // The first name (in name order) directly inside `extracted` other than "Embrik.app":
    // no signature covers it, so the archive must hold nothing of the kind.
    static std::optional<std::string>
    entryBesideApplication(const std::filesystem::path &extracted);
    // Signature with the build's team (status 0 and the whole line "TeamIdentifier=<team>"),
    // then assessment (status 0 and the whole line "<app>: accepted"). A refusal quotes the
    // tool's output with the folder that holds the application left out.
    void verify(const std::filesystem::path &app) const;
    // The download's build ("CFBundleVersion" of its information) must exceed the installed
    // one: the marker's `installedBuild`, and the installed application's own, which a marker
    // of an application installed by hand, or written by an older wrapper, may lag behind.
    void requireNewerBuild(const std::filesystem::path &app, std::int64_t installedBuild) const;
    // Asks running copies to quit, waits for them, and replaces the installed application.
    // The host launches what is in the applications folder, so only its owner may change it:
    // the folders made for it are 0755 whatever the umask; the applications folder and the
    // folders of the user's own directly above it (below the home folder, a folder shared with
    // the sticky bit or one that is not theirs), which we or an older release may have made,
    // are narrowed so. Fails with `applicationsOpenToOthers`, before any running copy is asked
    // to quit, where another user may still change the folder or one above it.
    void installIntoApplications(const std::filesystem::path &app) const;

    // Polls until every application has ended or the time-out has passed; never fails.
    static void waitForTermination(
        const std::vector<std::unique_ptr<platform::RunningApplication>> &applications,
        std::chrono::nanoseconds timeout, platform::PollingClock &clock);
    // Whether the failure, or one nested in it, is a refusal for lack of permission (EPERM or
    // EACCES).
    static bool isPermissionDenied(const std::exception_ptr &error);

private:
    Configuration configuration_;
    Seams seams_;
};

} // namespace tandrel
