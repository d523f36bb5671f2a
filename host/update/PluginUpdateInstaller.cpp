#include "host/update/PluginUpdateInstaller.h"

#include "core/support/ApplicationSupport.h"
#include "core/support/FileAccess.h"
#include "core/support/FileDescriptor.h"
#include "core/support/Numeric.h"
#include "core/support/Uuid.h"
#include "host/update/UpdateBuildSettings.h"
#include "platform/bundle/Bundle.h"
#include "platform/bundle/BundlePath.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace tandrel {

namespace {

using InstallError = PluginUpdateInstaller::InstallError;

constexpr const char *folderPrefix = "EmbrikPluginUpdate-";

// A tool's output as a failure quotes it: without `folder` (the update's private folder, or
// the one the application was unpacked into), whose name means nothing to anybody, so that
// the paths below it read as the archive names them; without the final line break.
std::string quoted(std::string output, const std::filesystem::path &folder) {
    const std::string prefix = folder.string() + "/";
    for (std::size_t at = output.find(prefix); at != std::string::npos;
         at = output.find(prefix, at)) {
        output.erase(at, prefix.size());
    }
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) {
        output.pop_back();
    }
    return output;
}

bool hasLine(const std::string &output, const std::string &line) {
    std::size_t start = 0;
    while (start <= output.size()) {
        const std::size_t end = std::min(output.find('\n', start), output.size());
        if (output.compare(start, end - start, line) == 0 && end - start == line.size()) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// What follows `prefix` on the first line that begins with it.
std::optional<std::string> lineValue(const std::string &output, const std::string &prefix) {
    for (std::size_t start = 0; start < output.size();) {
        const std::size_t end = std::min(output.find('\n', start), output.size());
        if (output.compare(start, prefix.size(), prefix) == 0 && end - start >= prefix.size()) {
            return output.substr(start + prefix.size(), end - start - prefix.size());
        }
        start = end + 1;
    }
    return std::nullopt;
}

// The folder, and the folders above it that we or an older release may have made for it: the
// user's own, directly above it inside the home folder (never the home folder itself, nor
// anything outside it, which we do not make), each to be narrowed to what others may read.
std::vector<std::pair<std::filesystem::path, FileAccess>>
foldersOfOurOwnAround(const std::filesystem::path &folder) {
    std::vector<std::pair<std::filesystem::path, FileAccess>> folders{
        {folder, FileAccess::standard}};
    std::error_code error;
    const std::filesystem::path home = homeDirectory().lexically_normal();
    const std::filesystem::path inside =
        std::filesystem::absolute(folder, error).lexically_normal();
    const auto relative = inside.lexically_relative(home);
    if (home.empty() || relative.empty() || *relative.begin() == "..") {
        return folders;
    }
    for (std::filesystem::path level = inside.parent_path(); level != home;
         level = level.parent_path()) {
        struct stat status {};
        if (::lstat(level.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            status.st_uid != ::geteuid()) {
            break;
        }
        folders.emplace_back(level, FileAccess::standard);
    }
    return folders;
}

} // namespace

InstallError InstallError::httpStatus(int code) {
    return {Case::httpStatus, "Download server returned HTTP " + std::to_string(code) + ".",
            code < 0 ? "the download server's answer was not HTTP"
                     : "the download server answered HTTP " + std::to_string(code),
            code};
}

InstallError InstallError::unzip(const std::string &output) {
    return {Case::unzip, "Could not unpack the download: " + output,
            "the download could not be unpacked"};
}

InstallError InstallError::codeSignatureMismatch(const std::string &output) {
    return {Case::codeSignatureMismatch, "Downloaded app failed signature verification: " + output,
            "the download's signature could not be verified"};
}

InstallError InstallError::otherTeam(const std::string &signingTeam,
                                     const std::string &requiredTeam, const std::string &output) {
    std::string said;
    for (std::size_t start = 0; start < output.size();) {
        const std::size_t end = std::min(output.find('\n', start), output.size());
        if (end > start) {
            said.append(said.empty() ? "" : "; ").append(output, start, end - start);
        }
        start = end + 1;
    }
    return {Case::codeSignatureMismatch,
            "Downloaded app failed signature verification: it is signed by the team " +
                platform::BundlePath::printable(signingTeam) + ", not by the team " + requiredTeam +
                " that this build requires (the signing tool said: " +
                platform::BundlePath::printable(said) + ")",
            "the download is signed by another team than this build's"};
}

InstallError InstallError::notarizationRejected(const std::string &output) {
    return {Case::notarizationRejected, "Downloaded app failed notarization check: " + output,
            "the download does not match its signature"};
}

InstallError InstallError::replaceFailed(const std::string &description) {
    return {Case::replaceFailed, "Could not install into /Applications: " + description,
            "Embrik.app could not be replaced in /Applications"};
}

InstallError InstallError::appNotFoundInZip() {
    return {Case::appNotFoundInZip, "The download didn't contain Embrik.app.",
            "the download didn't contain Embrik.app"};
}

InstallError InstallError::appManagementPermissionDenied() {
    return {Case::appManagementPermissionDenied,
            "macOS blocked replacing Embrik.app in /Applications — “Embrik Host” needs the "
            "“App Management” permission (System Settings → Privacy & Security → App "
            "Management).",
            "replacing Embrik.app in /Applications was not permitted"};
}

InstallError InstallError::notNewer(const std::string &downloadBuild, std::int64_t installedBuild,
                                    bool theApplicationsOwn) {
    const std::string installed = std::to_string(installedBuild);
    return {Case::notNewer,
            "The download's build " + downloadBuild + " is not newer than " +
                (theApplicationsOwn ? "the build " + installed + " of the installed Embrik.app."
                                    : "the installed build " + installed + "."),
            "the download is not newer than the installed plugin"};
}

InstallError InstallError::noUpdateServer() {
    return {Case::noUpdateServer, "No update server is configured.",
            "no update server is configured"};
}

InstallError InstallError::updateServerRefused(const std::string &server,
                                               const std::string &reason) {
    return {Case::updateServerRefused,
            "The update server \"" + server + "\" is refused: " + reason + ".",
            "the update server's address is not allowed"};
}

InstallError InstallError::downloadTooLarge(std::uint64_t limit) {
    return {Case::downloadTooLarge,
            "The download is larger than " + std::to_string(limit) + " bytes.",
            "the download is too large"};
}

InstallError InstallError::applicationsOpenToOthers(const std::string &why) {
    return {Case::applicationsOpenToOthers,
            "Could not install into /Applications: " + platform::BundlePath::printable(why) +
                "; another user could change what Embrik Host launches from there.",
            "other users may write the folder Embrik.app is installed in"};
}

InstallError InstallError::downloadTimedOut(std::chrono::milliseconds limit) {
    const auto milliseconds = limit.count();
    const std::string within = milliseconds % 1000 == 0
                                   ? std::to_string(milliseconds / 1000) + " seconds"
                                   : std::to_string(milliseconds) + " milliseconds";
    return {Case::downloadTimedOut,
            "The update server did not send the download within " + within + ".",
            "the update server took too long to send the download"};
}

InstallError InstallError::unsignedEntry(const std::string &name) {
    return {Case::unsignedEntry,
            "The download holds \"" + platform::BundlePath::printable(name) +
                "\" beside Embrik.app, which no signature covers.",
            "the download holds files its signature does not cover"};
}

InstallError InstallError::noTrustedKey(const std::string &team, bool trustsOtherTeams) {
    return {Case::noTrustedKey,
            trustsOtherTeams ? "This build trusts no update key of the team " + team + "."
                             : std::string("This build trusts no update key."),
            "this build trusts no update key"};
}

platform::ToolResult PluginUpdateInstaller::Tools::unpack(const std::filesystem::path &zip,
                                                          const std::filesystem::path &into) {
    try {
        platform::ArchiveExtractor::extract(zip, into, limits_);
    } catch (const platform::ExtractionError &refused) {
        return {1, refused.what()};
    }
    return {0, {}};
}

platform::ToolResult
PluginUpdateInstaller::Tools::displaySignature(const std::filesystem::path &app) {
    return platform::CodeSignature::display(app, trusted_);
}

platform::ToolResult PluginUpdateInstaller::Tools::assess(const std::filesystem::path &app) {
    return platform::Assessment::assess(app, trusted_);
}

PluginUpdateInstaller::Configuration PluginUpdateInstaller::Configuration::standard() {
    Configuration configuration;
    const char *server = std::getenv("TANDREL_UPDATE_SERVER");
    configuration.server = server != nullptr ? server : updateBuildSettings::server;
    configuration.teamIdentifier = updateBuildSettings::teamIdentifier;
    // The build checks the list's form, so this holds.
    configuration.trustedKeys = platform::parseTrustedKeys(updateBuildSettings::trustedKeys);
    const char *applications = std::getenv("TANDREL_APPLICATIONS_DIR");
    if (applications != nullptr && applications[0] == '/') {
        configuration.applicationsDirectory = applications;
    } else {
        const std::filesystem::path home = homeDirectory();
        configuration.applicationsDirectory =
            (home.empty() ? std::filesystem::path("/") : home) / "Applications";
    }
    // Downloads of up to a few hundred megabytes, the user's alone: the cache folder, which
    // the system may clean, and which no other user shares.
    const char *cache = std::getenv("XDG_CACHE_HOME");
    const std::filesystem::path home = homeDirectory();
    if (cache != nullptr && cache[0] == '/') {
        configuration.temporaryDirectory = std::filesystem::path(cache) / "Tandrel";
    } else if (!home.empty()) {
        configuration.temporaryDirectory = home / ".cache" / "Tandrel";
    } else {
        std::error_code error;
        configuration.temporaryDirectory = std::filesystem::temp_directory_path(error);
        if (error) {
            configuration.temporaryDirectory = "/tmp";
        }
    }
    return configuration;
}

PluginUpdateInstaller::PluginUpdateInstaller(Configuration configuration)
    : PluginUpdateInstaller(std::move(configuration), Seams{}) {}

PluginUpdateInstaller::PluginUpdateInstaller(Configuration configuration, Seams seams)
    : configuration_(std::move(configuration)), seams_(std::move(seams)) {
    if (!seams_.tools) {
        seams_.tools =
            std::make_shared<Tools>(configuration_.trustedKeys, configuration_.extractionLimits);
    }
    if (seams_.clock == nullptr) {
        seams_.clock = &platform::PollingClock::system();
    }
    if (seams_.workspace == nullptr) {
        seams_.workspace = &platform::Workspace::system();
    }
    if (seams_.files == nullptr) {
        seams_.files = &platform::FileManager::standard();
    }
}

std::filesystem::path PluginUpdateInstaller::installedApplication() const {
    return configuration_.applicationsDirectory / applicationName;
}

std::filesystem::path
PluginUpdateInstaller::makeTemporaryFolder(std::shared_ptr<const void> *lock) const {
    try {
        createFolders(configuration_.temporaryDirectory, FileAccess::userOnly);
    } catch (const std::filesystem::filesystem_error &error) {
        throw std::system_error(error.code(), "Cannot create \"" + error.path1().string() + "\"");
    }
    const std::filesystem::path folder =
        configuration_.temporaryDirectory / (folderPrefix + Uuid::random().uuidString());
    // Private from the start, and never one that somebody made beforehand.
    if (::mkdir(folder.c_str(), 0700) != 0) {
        throw std::system_error(errno, std::generic_category(),
                                "Cannot create \"" + folder.string() + "\"");
    }
    if (lock != nullptr) {
        auto held = std::make_shared<FileDescriptor>(
            ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (held->get() < 0 || ::flock(held->get(), LOCK_EX) != 0) {
            const int failure = errno;
            ::rmdir(folder.c_str());
            throw std::system_error(failure, std::generic_category(),
                                    "Cannot lock \"" + folder.string() + "\"");
        }
        *lock = std::move(held);
    }
    return folder;
}

void PluginUpdateInstaller::removeLeftoverFolders() const {
    std::error_code error;
    for (const auto &entry :
         std::filesystem::directory_iterator(configuration_.temporaryDirectory, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != std::strlen(folderPrefix) + 36 || name.rfind(folderPrefix, 0) != 0) {
            continue;
        }
        const FileDescriptor folder(::open(
            entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat status {};
        if (folder.get() >= 0 && ::fstat(folder.get(), &status) == 0 &&
            status.st_uid == ::geteuid() && ::flock(folder.get(), LOCK_EX | LOCK_NB) == 0) {
            try {
                seams_.files->removeItem(entry.path());
            } catch (const std::system_error &) {
                // Left for the next update.
            }
        }
    }
}

void PluginUpdateInstaller::installDownloadedArchive(const std::filesystem::path &temporaryFolder,
                                                     std::int64_t installedBuild) const {
    const std::filesystem::path app =
        unpackAndVerify(temporaryFolder / "plugin.zip", temporaryFolder);
    requireNewerBuild(app, installedBuild);
    installIntoApplications(app);
    try {
        seams_.workspace->openApplication(installedApplication());
    } catch (const std::exception &) {
        // The update is in place; the wrapper installs its template at its next start.
    }
}

std::filesystem::path
PluginUpdateInstaller::unpackAndVerify(const std::filesystem::path &zip,
                                       const std::filesystem::path &temporaryFolder) const {
    const std::filesystem::path extracted = temporaryFolder / "extracted";
    if (::mkdir(extracted.c_str(), 0700) != 0) {
        throw std::system_error(errno, std::generic_category(), "Cannot create \"extracted\"");
    }
    const platform::ToolResult unpacked = seams_.tools->unpack(zip, extracted);
    if (unpacked.status != 0) {
        throw InstallError::unzip(quoted(unpacked.output, temporaryFolder));
    }
    const auto app = applicationIn(extracted);
    if (!app) {
        throw InstallError::appNotFoundInZip();
    }
    if (const auto beside = entryBesideApplication(extracted)) {
        throw InstallError::unsignedEntry(*beside);
    }
    verify(*app);
    return *app;
}

void PluginUpdateInstaller::requireTrustedKey() const {
    const auto &keys = configuration_.trustedKeys;
    if (std::none_of(keys.begin(), keys.end(), [&](const platform::TrustedKey &key) {
            return key.teamIdentifier == configuration_.teamIdentifier;
        })) {
        throw InstallError::noTrustedKey(configuration_.teamIdentifier, !keys.empty());
    }
}

std::optional<std::filesystem::path>
PluginUpdateInstaller::applicationIn(const std::filesystem::path &extracted) {
    for (const auto &entry : std::filesystem::directory_iterator(extracted)) {
        if (entry.path().filename() == applicationName) {
            std::error_code error;
            if (std::filesystem::is_directory(entry.symlink_status(error))) {
                return entry.path();
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string>
PluginUpdateInstaller::entryBesideApplication(const std::filesystem::path &extracted) {
    std::optional<std::string> first;
    for (const auto &entry : std::filesystem::directory_iterator(extracted)) {
        const std::string name = entry.path().filename().string();
        if (name != applicationName && (!first || name < *first)) {
            first = name;
        }
    }
    return first;
}

void PluginUpdateInstaller::verify(const std::filesystem::path &app) const {
    const platform::ToolResult signature = seams_.tools->displaySignature(app);
    if (signature.status != 0 ||
        !hasLine(signature.output, "TeamIdentifier=" + configuration_.teamIdentifier)) {
        const std::string output = quoted(signature.output, app.parent_path());
        // A good signature of a team this build also trusts, for something else: say whose
        // it is and whose it must be.
        if (const auto team = lineValue(signature.output, "TeamIdentifier=");
            signature.status == 0 && team) {
            throw InstallError::otherTeam(*team, configuration_.teamIdentifier, output);
        }
        throw InstallError::codeSignatureMismatch(output);
    }
    const platform::ToolResult assessment = seams_.tools->assess(app);
    if (assessment.status != 0 || !hasLine(assessment.output, app.string() + ": accepted")) {
        throw InstallError::notarizationRejected(quoted(assessment.output, app.parent_path()));
    }
}

void PluginUpdateInstaller::requireNewerBuild(const std::filesystem::path &app,
                                              std::int64_t installedBuild) const {
    const auto buildOf = [](const std::filesystem::path &bundle) {
        const auto text = platform::Bundle(bundle).infoString("CFBundleVersion");
        return std::pair(text, text ? parseDecimalInt64(*text) : std::nullopt);
    };
    const auto [text, build] = buildOf(app);
    // An older signed build is still signed: a feed that serves one must not take the user
    // back, whatever the marker says.
    const auto installedOwn = buildOf(installedApplication()).second;
    const bool ownIsNewer = installedOwn && *installedOwn > installedBuild;
    const std::int64_t installed = ownIsNewer ? *installedOwn : installedBuild;
    if (!build || *build <= installed) {
        throw InstallError::notNewer(text ? platform::BundlePath::printable(*text) : "?", installed,
                                     ownIsNewer);
    }
}

void PluginUpdateInstaller::installIntoApplications(const std::filesystem::path &app) const {
    const std::filesystem::path target = installedApplication();
    const auto failed = [&](const std::exception &error) {
        if (isPermissionDenied(std::current_exception())) {
            return InstallError::appManagementPermissionDenied();
        }
        return InstallError::replaceFailed(quoted(error.what(), app.parent_path()));
    };
    // The host launches what is in it: nobody else may put anything there, nor put another
    // folder in its place; nor is anything made where others could.
    narrowAtStart(foldersOfOurOwnAround(target.parent_path()));
    if (const auto why = othersMayWrite(target.parent_path())) {
        throw InstallError::applicationsOpenToOthers(*why);
    }
    try {
        seams_.files->createDirectories(target.parent_path());
    } catch (const std::exception &error) {
        throw failed(error);
    }
    const auto running = seams_.workspace->runningApplications(target);
    for (const auto &application : running) {
        application->terminate();
    }
    waitForTermination(running, terminationTimeout, *seams_.clock);
    // A copy still running after the wait does not stop the replacement: it keeps its files
    // open, and the next start runs the new one.
    try {
        seams_.files->replaceItem(app, target);
    } catch (const std::exception &error) {
        throw failed(error);
    }
}

void PluginUpdateInstaller::waitForTermination(
    const std::vector<std::unique_ptr<platform::RunningApplication>> &applications,
    std::chrono::nanoseconds timeout, platform::PollingClock &clock) {
    if (applications.empty()) {
        return;
    }
    const auto deadline = clock.now() + timeout;
    const auto running = [&] {
        return std::any_of(applications.begin(), applications.end(),
                           [](const auto &application) { return !application->isTerminated(); });
    };
    while (clock.now() < deadline && running()) {
        clock.sleepFor(terminationPollInterval);
    }
}

bool PluginUpdateInstaller::isPermissionDenied(const std::exception_ptr &error) {
    if (!error) {
        return false;
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::system_error &failure) {
        if (failure.code() == std::errc::operation_not_permitted ||
            failure.code() == std::errc::permission_denied) {
            return true;
        }
    } catch (...) {
    }
    try {
        std::rethrow_exception(error);
    } catch (const std::nested_exception &outer) {
        return isPermissionDenied(outer.nested_ptr());
    } catch (...) {
    }
    return false;
}

} // namespace tandrel
