#include "host/update/PluginUpdateInstaller.h"

#include "core/tests/ScopedEnvironmentVariable.h"
#include "host/update/UpdateBuildSettings.h"
#include "host/update/tests/UpdateFixture.h"
#include "platform/archive/tests/CraftedZip.h"

#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

extern char **environ;

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::fileContents;
using testing::folderNames;
using testing::UpdateFixture;
using InstallError = PluginUpdateInstaller::InstallError;

const std::string oldTemplate = "template of build 57\n";
const std::string newTemplate = "template of build 59\n";

// The description of what the call throws, or "" when it does not throw.
std::string failureOf(const std::function<void()> &call) {
    try {
        call();
    } catch (const std::exception &error) {
        return error.what();
    }
    return "";
}

TEST(PluginUpdateInstaller, InstallsANewerSignedDownloadAndLaunchesIt) {
    UpdateFixture fixture;
    const auto installer = fixture.installer();
    const fs::path folder = fixture.stage(installer, fixture.archive("59"));
    EXPECT_EQ((fs::status(folder).permissions() & fs::perms::all), fs::perms::owner_all);
    EXPECT_EQ(folder.filename().string().rfind("EmbrikPluginUpdate-", 0), 0u);
    EXPECT_EQ(folder.filename().string().size(), 19u + 36u);

    installer.installDownloadedArchive(folder, 57);

    EXPECT_EQ(fixture.installedTemplate(), newTemplate);
    EXPECT_TRUE(fs::exists(fixture.installed() / "Contents/_CodeSignature/manifest.sig"));
    EXPECT_EQ(folderNames(fixture.configuration.applicationsDirectory),
              std::vector<std::string>{"Embrik.app"});
    EXPECT_EQ(fixture.workspace.opened(), std::vector<fs::path>{fixture.installed()});
    EXPECT_EQ(fixture.clock.sleeps, 0) << "no running copy, no wait";
}

TEST(PluginUpdateInstaller, RefusesWhatIsNotASignedNewerApplicationAndKeepsTheOldOne) {
    UpdateFixture fixture;
    const platform::SecretKey foreign = platform::SecretKey::generate();
    const auto installer = fixture.installer();
    const auto staged = [&](const fs::path &zip) { return fixture.stage(installer, zip); };
    const auto crafted = [&](const std::vector<platform::testing::CraftedEntry> &entries) {
        const fs::path zip =
            fixture.temp.path() / ("crafted-" + std::to_string(++fixture.archives));
        std::ofstream(zip, std::ios::binary) << platform::testing::craftZip(entries);
        return zip;
    };
    const auto garbage = [&] {
        const fs::path zip = fixture.temp.path() / "garbage.zip";
        std::ofstream(zip) << "<html>Not found</html>";
        return zip;
    };

    struct Case {
        const char *what;
        fs::path folder;
        std::string description;
    };
    const Case cases[] = {
        {"an application inside a folder", staged(fixture.archive("59", {}, nullptr, "Payload")),
         "The download didn't contain Embrik.app."},
        {"a file named like the application",
         staged(crafted({platform::testing::file("Embrik.app", "not a folder")})),
         "The download didn't contain Embrik.app."},
        {"a link named like the application",
         staged(crafted({platform::testing::folder("Real.app/"),
                         platform::testing::link("Embrik.app", "Real.app")})),
         "Could not unpack the download: entry \"Embrik.app\": a link "
         "that points out of its folder"},
        {"a climbing name", staged(crafted({platform::testing::file("../x", "x")})),

         "Could not unpack the download: entry \"../x\": a \"..\" component"},
        {"an empty archive", staged(crafted({})), "The download didn't contain Embrik.app."},
        {"not an archive", staged(garbage()),
         "Could not unpack the download: cannot open the archive: "
         "Unrecognized archive format"},
        {"a file changed after signing",
         staged(fixture.archive("59",
                                [](const fs::path &app) {
                                    std::ofstream(app / "Contents/MacOS/Embrik") << "changed";
                                })),
         "Downloaded app failed notarization check: Embrik.app: "
         "rejected\nContents/MacOS/Embrik: contents differ from the "
         "signed manifest"},
        {"a foreign key", staged(fixture.archive("59", {}, &foreign)),
         "Downloaded app failed signature verification: Embrik.app: the "
         "signature does not verify with a trusted key"},
        {"the installed build", staged(fixture.archive("57")),
         "The download's build 57 is not newer than the installed build "
         "57."},
        {"a build that is no number", staged(fixture.archive("59b")),
         "The download's build 59b is not newer than the installed build "
         "57."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(failureOf([&] { installer.installDownloadedArchive(c.folder, 57); }),
                  c.description);
        EXPECT_EQ(fixture.installedTemplate(), oldTemplate);
        EXPECT_FALSE(fs::exists(fixture.temp.path() / "x"));
    }
    EXPECT_TRUE(fixture.workspace.opened().empty());
}

// Tools that answer what a test gives them; unpacking is real.
class AnsweringTools : public PluginUpdateInstaller::Tools {
public:
    AnsweringTools(platform::ToolResult signature, platform::ToolResult assessment)
        : Tools({}), signature_(std::move(signature)), assessment_(std::move(assessment)) {}
    platform::ToolResult displaySignature(const fs::path &) override { return signature_; }
    platform::ToolResult assess(const fs::path &app) override {
        platform::ToolResult answer = assessment_;
        const std::string placeholder = "<app>";
        for (std::size_t at; (at = answer.output.find(placeholder)) != std::string::npos;) {
            answer.output.replace(at, placeholder.size(), app.string());
        }
        return answer;
    }

private:
    platform::ToolResult signature_;
    platform::ToolResult assessment_;
};

TEST(PluginUpdateInstaller, AcceptsOnlyASuccessfulToolWithTheWholeExpectedLine) {
    const char *const signedOutput = "Signature=Ed25519\nTeamIdentifier=Q7M4K2T9XB\n";
    const char *const acceptedOutput = "<app>: accepted\nsource=x\n";
    const struct {
        const char *what;
        int signatureStatus;
        const char *signature;
        int assessmentStatus;
        const char *assessment;
        std::optional<InstallError::Case> failure;
    } cases[] = {
        {"both tools content", 0, signedOutput, 0, acceptedOutput, std::nullopt},
        {"the team line from a signing tool that failed", 1, "TeamIdentifier=Q7M4K2T9XB\n", 0,
         acceptedOutput, InstallError::Case::codeSignatureMismatch},
        {"a longer team", 0, "TeamIdentifier=Q7M4K2T9XBX\n", 0, acceptedOutput,
         InstallError::Case::codeSignatureMismatch},
        {"the team inside another line", 0, "Note: TeamIdentifier=Q7M4K2T9XB\n", 0, acceptedOutput,
         InstallError::Case::codeSignatureMismatch},
        {"the team without a line break", 0, "TeamIdentifier=Q7M4K2T9XB", 0, acceptedOutput,
         std::nullopt},
        {"\"accepted\" inside a rejection", 0, signedOutput, 0, "<app>: rejected (not accepted)\n",
         InstallError::Case::notarizationRejected},
        {"an acceptance with a failed status", 0, signedOutput, 3, "<app>: accepted\n",
         InstallError::Case::notarizationRejected},
        {"another bundle's acceptance", 0, signedOutput, 0, "/elsewhere/Embrik.app: accepted\n",
         InstallError::Case::notarizationRejected},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        UpdateFixture fixture;
        const auto installer =
            fixture.installer({std::make_shared<AnsweringTools>(
                                   platform::ToolResult{c.signatureStatus, c.signature},
                                   platform::ToolResult{c.assessmentStatus, c.assessment}),
                               nullptr, nullptr, nullptr});
        std::optional<InstallError::Case> failure;
        try {
            installer.installDownloadedArchive(fixture.stage(installer, fixture.archive("59")), 57);
        } catch (const InstallError &error) {
            failure = error.errorCase();
        }
        EXPECT_EQ(failure, c.failure);
        EXPECT_EQ(fixture.installedTemplate(), c.failure ? oldTemplate : newTemplate);
    }
}

TEST(PluginUpdateInstaller, AReplacementRefusedForPermissionAsksForItAndKeepsTheOldApp) {
    using Operation = platform::testing::FailingFileManager::Operation;
    const struct {
        int error;
        Operation operation;
        InstallError::Case failure;
    } cases[] = {
        {EPERM, Operation::exchange, InstallError::Case::appManagementPermissionDenied},
        {EACCES, Operation::copy, InstallError::Case::appManagementPermissionDenied},
        {EIO, Operation::exchange, InstallError::Case::replaceFailed},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.error);
        UpdateFixture fixture;
        // As the platform reports it: a file error around the system's own.
        platform::testing::FailingFileManager files(c.operation, 1, c.error, true);
        const auto installer = fixture.installer({nullptr, nullptr, nullptr, &files});
        std::string description;
        try {
            installer.installDownloadedArchive(fixture.stage(installer, fixture.archive("59")), 57);
        } catch (const InstallError &error) {
            EXPECT_EQ(error.errorCase(), c.failure);
            description = error.what();
        }
        EXPECT_EQ(fixture.installedTemplate(), oldTemplate);
        EXPECT_EQ(folderNames(fixture.configuration.applicationsDirectory),
                  std::vector<std::string>{"Embrik.app"});
        if (c.failure == InstallError::Case::replaceFailed) {
            EXPECT_EQ(description.rfind("Could not install into /Applications: Cannot swap \"", 0),
                      0u)
                << description;
        }
    }
}

TEST(PluginUpdateInstaller, FindsPermissionFailuresAlsoNestedInOthers) {
    // The error as the cause of an outer "file error", as the platform nests its errors.
    const auto nested = [](std::exception_ptr inner) {
        std::exception_ptr outer;
        try {
            std::rethrow_exception(inner);
        } catch (...) {
            try {
                std::throw_with_nested(std::runtime_error("file error"));
            } catch (...) {
                outer = std::current_exception();
            }
        }
        return outer;
    };
    const auto systemError = [](int error) {
        return std::make_exception_ptr(std::system_error(error, std::system_category()));
    };
    const struct {
        const char *what;
        std::exception_ptr error;
        bool denied;
    } cases[] = {
        {"EPERM", systemError(EPERM), true},
        {"EACCES", systemError(EACCES), true},
        {"EIO", systemError(EIO), false},
        {"a file-system error",
         std::make_exception_ptr(
             fs::filesystem_error("x", std::error_code(EACCES, std::generic_category()))),
         true},
        {"EPERM nested in a file error", nested(systemError(EPERM)), true},
        {"EPERM nested twice", nested(nested(systemError(EPERM))), true},
        {"EIO nested", nested(systemError(EIO)), false},
        {"another error", std::make_exception_ptr(std::runtime_error("x")), false},
        {"nothing", nullptr, false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PluginUpdateInstaller::isPermissionDenied(c.error), c.denied) << c.what;
    }
}

// A running copy that ends after the given number of looks (never, when negative).
class RunningCopy : public platform::RunningApplication {
public:
    explicit RunningCopy(int endsAfterLooks) : endsAfterLooks_(endsAfterLooks) {}
    pid_t processIdentifier() const override { return 1; }
    bool terminate() override { return true; }
    bool isTerminated() const override {
        return endsAfterLooks_ >= 0 && ++looks_ > endsAfterLooks_;
    }

private:
    int endsAfterLooks_;
    mutable int looks_ = 0;
};

TEST(PluginUpdateInstaller, WaitsForRunningCopiesAtMostThreeSecondsAndAPoll) {
    using std::chrono::milliseconds;
    const struct {
        std::vector<int> copies;
        milliseconds waited;
    } cases[] = {
        {{}, milliseconds(0)},      {{0}, milliseconds(0)},        {{2}, milliseconds(200)},
        {{-1}, milliseconds(3000)}, {{1, -1}, milliseconds(3000)},
    };
    for (const auto &c : cases) {
        std::vector<std::unique_ptr<platform::RunningApplication>> running;
        for (int looks : c.copies) {
            running.push_back(std::make_unique<RunningCopy>(looks));
        }
        testing::ManualClock clock;
        PluginUpdateInstaller::waitForTermination(running, milliseconds(3000), clock);
        EXPECT_EQ(clock.slept, c.waited) << c.copies.size();
        EXPECT_LE(clock.slept, milliseconds(3100));
    }
}

TEST(PluginUpdateInstaller, AsksARunningCopyToQuitBeforeReplacingIt) {
    UpdateFixture fixture;
    const fs::path program = fixture.installed() / "Contents" / "MacOS" / "Embrik";
    fs::remove(program);
    fs::copy_file("/bin/sleep", program);
    pid_t pid = 0;
    char *const arguments[] = {const_cast<char *>(program.c_str()), const_cast<char *>("1000"),
                               nullptr};
    ASSERT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, arguments, environ), 0);

    const auto installer = fixture.installer();
    installer.installDownloadedArchive(fixture.stage(installer, fixture.archive("59")), 57);

    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(fixture.installedTemplate(), newTemplate);
}

TEST(PluginUpdateInstaller, DescribesItsFailuresInItsOwnWords) {
    const struct {
        InstallError error;
        std::string description;
    } cases[] = {
        {InstallError::httpStatus(404), "Download server returned HTTP 404."},
        {InstallError::httpStatus(-1), "Download server returned HTTP -1."},
        {InstallError::unzip("out"), "Could not unpack the download: out"},
        {InstallError::codeSignatureMismatch("out"),
         "Downloaded app failed signature verification: out"},
        {InstallError::notarizationRejected("out"),
         "Downloaded app failed notarization check: out"},
        {InstallError::replaceFailed("disk full"),
         "Could not install into /Applications: disk full"},
        {InstallError::appNotFoundInZip(), "The download didn't contain Embrik.app."},
        {InstallError::appManagementPermissionDenied(),
         "macOS blocked replacing Embrik.app in /Applications \u2014 \u201CEmbrik Host\u201D "
         "needs the \u201CApp Management\u201D permission (System Settings \u2192 Privacy & "
         "Security \u2192 App Management)."},
        {InstallError::notNewer("57", 57),
         "The download's build 57 is not newer than the installed build 57."},
        {InstallError::noUpdateServer(), "No update server is configured."},
        {InstallError::updateServerRefused("http://example.com"),
         "The update server \"http://example.com\" is refused: it must use https, or http to "
         "this machine."},
        {InstallError::downloadTooLarge(1024), "The download is larger than 1024 bytes."},
        {InstallError::notNewer("1", 5, true),
         "The download's build 1 is not newer than the build 5 of the installed Embrik.app."},
        {InstallError::otherTeam("OTHERTEAM1", "Q7M4K2T9XB",
                                 "Bundle=x\nTeamIdentifier=OTHERTEAM1\n"),
         "Downloaded app failed signature verification: it is signed by the team OTHERTEAM1, not "
         "by the team Q7M4K2T9XB that this build requires (the signing tool said: Bundle=x; "
         "TeamIdentifier=OTHERTEAM1)"},
        {InstallError::applicationsOpenToOthers("/srv: writable by everybody (permissions 0777)"),
         "Could not install into /Applications: /srv: writable by everybody (permissions 0777); "
         "another user could change what Embrik Host launches from there."},
        {InstallError::downloadTimedOut(std::chrono::minutes(10)),
         "The update server did not send the download within 600 seconds."},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.error.what(), c.description);
    }
    EXPECT_EQ(InstallError::httpStatus(404).statusCode(), 404);
}

TEST(PluginUpdateInstaller, TakesItsSettingsFromTheBuildAndTheEnvironment) {
    using Variable = tandrel::testing::ScopedEnvironmentVariable;
    {
        Variable applications("TANDREL_APPLICATIONS_DIR", "/srv/apps");
        Variable server("TANDREL_UPDATE_SERVER", "http://127.0.0.1:9");
        const auto configured = PluginUpdateInstaller::Configuration::standard();
        EXPECT_EQ(configured.applicationsDirectory, "/srv/apps");
        EXPECT_EQ(configured.server, "http://127.0.0.1:9");
    }
    Variable applications("TANDREL_APPLICATIONS_DIR", "relative");
    Variable home("HOME", "/home/someone");
    Variable server("TANDREL_UPDATE_SERVER", std::nullopt);
    Variable cache("XDG_CACHE_HOME", std::nullopt);
    const auto standard = PluginUpdateInstaller::Configuration::standard();
    EXPECT_EQ(standard.applicationsDirectory, "/home/someone/Applications");
    // The update's files are the user's alone, never in a folder shared with others.
    EXPECT_EQ(standard.temporaryDirectory, "/home/someone/.cache/Tandrel");
    Variable ownCache("XDG_CACHE_HOME", "/srv/cache");
    EXPECT_EQ(PluginUpdateInstaller::Configuration::standard().temporaryDirectory,
              "/srv/cache/Tandrel");
    EXPECT_EQ(standard.server, updateBuildSettings::server);
    EXPECT_EQ(standard.teamIdentifier, updateBuildSettings::teamIdentifier);
}

// Runs a shell command as nobody; true when it succeeded.
bool nobodyCan(const std::string &command) {
    const std::string line = "runuser -u nobody -- sh -c '" + command + "' 2>/dev/null";
    return std::system(line.c_str()) == 0;
}

// The attacks of a feed that serves old signed builds, a trusted team's build for something
// else, an archive with something added, and another user of the machine who may write where
// the host launches the application from: each is refused with what was found, the installed
// application stays, nothing is launched; folders an older release left open are narrowed and
// then nobody (the user, when the tests run as root) can put anything there. Rows that need
// another user's folder run only as root.
TEST(PluginUpdateInstaller, RefusesWhatAnOldFeedOrAnotherUserOffersSayingWhatItFound) {
    const bool root = ::geteuid() == 0;
    const platform::SecretKey otherTeamsKey = platform::SecretKey::generate();
    struct Row {
        const char *what;
        // Prepares the fixture and answers the archive to install.
        std::function<fs::path(UpdateFixture &)> prepare;
        // The version marker's build.
        std::int64_t markerBuild;
        // The failure, in full or (with `part`) in part; empty: installed.
        std::string failure;
        bool part = false;
        bool needsRoot = false;
    };
    const auto homeApplications = [](UpdateFixture &f) {
        return f.temp.path() / "home" / "Programs" / "Applications";
    };
    const Row rows[] = {
        {"an older signed build over an application its marker lags behind",
         [](UpdateFixture &f) { return f.archive("1"); }, 0,
         "The download's build 1 is not newer than the build 57 of the installed Embrik.app."},
        {"the installed build again, its marker at 0",
         [](UpdateFixture &f) { return f.archive("57"); }, 0,
         "The download's build 57 is not newer than the build 57 of the installed Embrik.app."},
        {"a megabyte after a good archive",
         [](UpdateFixture &f) {
             const fs::path zip = f.archive("59");
             const std::uint64_t size = fs::file_size(zip);
             std::ofstream(zip, std::ios::binary | std::ios::app) << std::string(1 << 20, 'Z');
             EXPECT_EQ(fs::file_size(zip), size + (1 << 20));
             return zip;
         },
         57,
         "Could not unpack the download: cannot open the archive: 1048576 bytes follow the end "
         "of the archive (its directory of entries ends at byte ",
         true},
        {"a build of another team this build also trusts",
         [&](UpdateFixture &f) {
             f.configuration.trustedKeys.push_back({"OTHERTEAM1", otherTeamsKey.publicKey()});
             const fs::path app = f.temp.path() / "other" / "Embrik.app";
             platform::testing::writeSampleBundle(app, "59");
             platform::CodeSignature::sign(app, "OTHERTEAM1", otherTeamsKey);
             const fs::path zip = f.temp.path() / "other.zip";
             platform::ZipWriter::writeFolder(app, zip);
             return zip;
         },
         57,
         "Downloaded app failed signature verification: it is signed by the team OTHERTEAM1, "
         "not by the team Q7M4K2T9XB that this build requires (the signing tool said: "
         "Bundle=Embrik.app; Signature=Ed25519 manifest of 4 files; TeamIdentifier=OTHERTEAM1)"},
        {"an applications folder of another user's that everybody may write",
         [](UpdateFixture &f) {
             const fs::path folder = f.configuration.applicationsDirectory;
             EXPECT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
             EXPECT_EQ(::chmod(folder.c_str(), 0777), 0);
             return f.archive("59");
         },
         57,
         "/Applications: belongs to another user (user ID 65534); another user could change "
         "what Embrik Host launches from there.",
         true, true},
        {"a folder above it of another user's that everybody may write",
         [](UpdateFixture &f) {
             const fs::path shared = f.temp.path() / "shared";
             fs::create_directories(shared);
             EXPECT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
             EXPECT_EQ(::chmod(shared.c_str(), 0777), 0);
             f.configuration.applicationsDirectory = shared / "Applications";
             platform::testing::writeSampleBundle(f.installed(), "57");
             return f.archive("59");
         },
         57, "/shared: belongs to another user (user ID 65534); another user", true, true},
        {"a custom applications folder in the home folder, left 0777 with the one above it",
         [&](UpdateFixture &f) {
             f.configuration.applicationsDirectory = homeApplications(f);
             platform::testing::writeSampleBundle(f.installed(), "57");
             for (const fs::path &folder :
                  {homeApplications(f), homeApplications(f).parent_path()}) {
                 EXPECT_EQ(::chmod(folder.c_str(), 0777), 0);
             }
             // So that nobody reaches the folders: the test's own folder is its alone.
             EXPECT_EQ(::chmod(f.temp.path().c_str(), 0755), 0);
             return f.archive("59");
         },
         57, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.needsRoot && !root) {
            GTEST_LOG_(INFO) << "skipped (needs root): " << row.what;
            continue;
        }
        UpdateFixture fixture;
        testing::ScopedEnvironmentVariable home("HOME", (fixture.temp.path() / "home").string());
        const fs::path zip = row.prepare(fixture);
        const auto installer = fixture.installer();
        const std::string failure = failureOf([&] {
            installer.installDownloadedArchive(fixture.stage(installer, zip), row.markerBuild);
        });
        if (row.part) {
            EXPECT_NE(failure.find(row.failure), std::string::npos) << failure;
        } else {
            EXPECT_EQ(failure, row.failure);
        }
        EXPECT_EQ(failure.find('\n'), std::string::npos) << failure;
        EXPECT_EQ(fixture.installedTemplate(), row.failure.empty() ? newTemplate : oldTemplate);
        EXPECT_EQ(fixture.workspace.opened().size(), row.failure.empty() ? 1u : 0u);
        if (!row.failure.empty()) {
            continue;
        }
        const fs::path applications = fixture.configuration.applicationsDirectory;
        for (const fs::path &folder : {applications, applications.parent_path()}) {
            EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all,
                      fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec)
                << folder;
        }
        if (root) {
            // Another user can put nothing where the host launches from, nor move it away.
            const std::string folder = applications.string();
            EXPECT_TRUE(nobodyCan("test -r \"" + folder + "/Embrik.app/Contents/Info.plist\""));
            EXPECT_FALSE(nobodyCan("mkdir \"" + folder + "/Embrik.app/Contents/x\""));
            EXPECT_FALSE(nobodyCan("mv \"" + folder + "\" \"" + folder + ".away\""));
            EXPECT_FALSE(nobodyCan("mkdir \"" + folder + "/x\""));
        }
    }
}

} // namespace
} // namespace tandrel
