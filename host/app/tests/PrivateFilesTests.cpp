// What the programs of the suite make and write, whatever the umask: the user's alone (folders
// 0700, files 0600), or, where another program must read it (the installed application, the
// effect's template), writable by its owner only. Run through the real host and wrapper, and
// the host's installer, on a home folder of the test's own.
#include "host/update/tests/UpdateFixture.h"

#include "core/tests/FileMode.h"
#include "host/feedback/tests/LoopbackServer.h"
#include "platform/codesign/CodeSignature.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using platform::testing::fileContents;

void writeFile(const fs::path &path, const std::string &content, mode_t mode) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    ::chmod(path.c_str(), mode);
}

// Every folder below and at `folder` gets `folderMode`, every file `fileMode` (or the same
// with execute bits where it has them).
void setModes(const fs::path &folder, mode_t folderMode, mode_t fileMode) {
    ::chmod(folder.c_str(), folderMode);
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_symlink()) {
            continue;
        }
        const bool executable = (::access(entry.path().c_str(), X_OK) == 0);
        ::chmod(entry.path().c_str(), entry.is_directory() ? folderMode
                                      : executable         ? fileMode | 0111
                                                           : fileMode);
    }
}

// A home folder of its own, the user's folders inside it as XDG names them, the applications
// folder below one that does not exist yet, and a feedback server where nobody listens (so
// that the host's feedback queue is at work).
class Home {
public:
    Home() {
        fs::create_directories(home);
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms(0700));
    }

    QTemporaryDir root;
    const fs::path base = root.path().toStdString();
    const fs::path home = base / "home";
    const fs::path runtime = base / "runtime";
    const fs::path data = home / ".local" / "share";
    const fs::path config = home / ".config";
    const fs::path settings = config / "Ostrevale" / "Embrik Host.conf";
    const fs::path tandrel = data / "Tandrel";
    const fs::path group = data / "group.com.ostrevale.tandrel";
    const fs::path applications = home / "Programs" / "Applications";
    const fs::path templates =
        home / "Movies" / "Motion Templates.localized" / "Effects.localized" / "Ostrevale";
    const QString feedbackServer = testing::LoopbackServer::closedServer();

    QProcessEnvironment environment() const {
        QProcessEnvironment environment;
        const auto set = [&](const char *name, const fs::path &value) {
            environment.insert(QString::fromUtf8(name), QString::fromStdString(value.string()));
        };
        environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        set("HOME", home);
        set("XDG_DATA_HOME", data);
        set("XDG_CONFIG_HOME", config);
        set("XDG_CACHE_HOME", home / ".cache");
        set("XDG_RUNTIME_DIR", runtime);
        set("TANDREL_APPLICATIONS_DIR", applications);
        environment.insert(QStringLiteral("TANDREL_UPDATE_SERVER"), QString());
        environment.insert(QStringLiteral("TANDREL_FEEDBACK_SERVER"), feedbackServer);
        return environment;
    }

    // The host, started with a library to watch until it has written what a start writes (its
    // settings, the suite it shares with the editor panel, the feedback queue's lock), then
    // asked to quit.
    void runHost(mode_t mask) const {
        const fs::path library = base / "Show.fcpbundle";
        fs::create_directories(library);
        QProcess host;
        QProcessEnvironment environment = this->environment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        host.setProcessEnvironment(environment);
        host.setProcessChannelMode(QProcess::MergedChannels);
        host.setChildProcessModifier([mask] { ::umask(mask); });
        host.start(QStringLiteral(EMBRIK_HOST_PATH),
                   {QStringLiteral("--add-library"), QString::fromStdString(library.string())});
        ASSERT_TRUE(host.waitForStarted());
        const bool written = QTest::qWaitFor(
            [&] {
                return fileContents(settings).find("WatchedLibraryBookmarks") !=
                           std::string::npos &&
                       fs::exists(group / "group.com.ostrevale.tandrel.ini") &&
                       fs::exists(tandrel / "feedback_retry_queue.json.lock");
            },
            60'000);
        host.terminate();
        ASSERT_TRUE(host.waitForFinished(30'000));
        ASSERT_TRUE(written) << host.readAll().toStdString();
    }

    // The wrapper of the bundle, as the user or the host starts it, without a display.
    void runWrapper(const fs::path &bundle, mode_t mask, int exitCode = 0) const {
        QProcess wrapper;
        wrapper.setProcessEnvironment(environment());
        wrapper.setProcessChannelMode(QProcess::MergedChannels);
        wrapper.setChildProcessModifier([mask] { ::umask(mask); });
        wrapper.start(QString::fromStdString((bundle / "Contents/MacOS/Embrik").string()),
                      {QStringLiteral("--silent-install")});
        ASSERT_TRUE(wrapper.waitForFinished(60'000));
        ASSERT_EQ(wrapper.exitCode(), exitCode) << wrapper.readAll().toStdString();
    }

    // The wrapper of this build as a packer under umask 000 stages it: everything open to all.
    fs::path stagedWrapper() const {
        const fs::path bundle = base / "staged" / "Embrik.app";
        fs::create_directories(bundle.parent_path());
        fs::copy(EMBRIK_BUNDLE_PATH, bundle, fs::copy_options::recursive);
        setModes(bundle, 0777, 0666);
        return bundle;
    }

    // The host's installer puts the signed update into the applications folder, and the
    // wrapper it launches runs.
    void runInstaller(testing::UpdateFixture &fixture, const fs::path &archive, mode_t mask) const {
        fixture.configuration.applicationsDirectory = applications;
        const PluginUpdateInstaller installer = fixture.installer();
        const fs::path staged = fixture.stage(installer, archive);
        {
            const testing::ScopedUmask umask(mask);
            installer.installDownloadedArchive(staged, std::stoi(TANDREL_BUILD_NUMBER) - 1);
        }
        fs::remove_all(staged);
        ASSERT_FALSE(fixture.workspace.opened().empty());
        ASSERT_EQ(fixture.workspace.opened().back(), applications / "Embrik.app");
        runWrapper(applications / "Embrik.app", mask);
    }

    // What an older release, run under umask 000, left behind: its folders and files open to
    // everybody, an installed wrapper and template among them.
    void olderRelease() const {
        // The user's own folders, private as a careful user keeps them.
        for (const fs::path &folder : {config, data}) {
            fs::create_directories(folder);
        }
        for (const fs::path &folder : {config, data, data.parent_path()}) {
            fs::permissions(folder, fs::perms(0700));
        }
        for (const fs::path &folder :
             {settings.parent_path(), tandrel, group, applications, templates / "Embrik"}) {
            fs::create_directories(folder);
        }
        writeFile(settings, "[General]\n", 0666);
        // A build before this one.
        const std::string older = std::to_string(std::stoi(TANDREL_BUILD_NUMBER) - 1);
        writeFile(tandrel / "plugin_version.json",
                  R"({"version":"0.9","build":")" + older + R"("})", 0666);
        writeFile(tandrel / "feedback_retry_queue.json", "[]", 0666);
        writeFile(tandrel / "current.json", "{}", 0666);
        writeFile(group / "group.com.ostrevale.tandrel.ini", "[General]\n", 0666);
        writeFile(templates / "Embrik" / "Embrik.moef", "older template", 0666);
        platform::testing::writeSampleBundle(applications / "Embrik.app", older);
        for (const fs::path &folder :
             {settings.parent_path(), tandrel, group, applications, templates}) {
            setModes(folder, 0777, 0666);
        }
    }

    // Every file and folder below the home folder (its caches left out) that breaks the rule,
    // with its mode: the installed application and the template may be read by others,
    // everything else by the user alone; nobody but the owner writes anything, and the owner
    // can read and write it all. Links are not looked through.
    std::vector<std::string> breakingTheRule() const {
        std::vector<std::string> found;
        for (auto it = fs::recursive_directory_iterator(home); it != fs::end(it); ++it) {
            const fs::path &path = it->path();
            const std::string relative = path.lexically_relative(home).string();
            if (relative == ".cache") {
                it.disable_recursion_pending();
                continue;
            }
            struct stat status {};
            if (::lstat(path.c_str(), &status) != 0) {
                found.push_back("unreadable " + relative);
                continue;
            }
            // Links, and the lock the settings library holds for the moment of a write (made as
            // the umask allows, in a folder that is the user's alone): a host stopped in that
            // moment leaves it, and the next write takes it away.
            if (S_ISLNK(status.st_mode) ||
                (relative.ends_with(".lock") && !relative.starts_with(".local/share/Tandrel/"))) {
                continue;
            }
            const bool shared = relative.starts_with("Programs") || relative.starts_with("Movies");
            const mode_t owner = S_ISDIR(status.st_mode) ? 0700 : 0600;
            if ((status.st_mode & (shared ? 022 : 077)) != 0 || (status.st_mode & owner) != owner) {
                char mode[8];
                std::snprintf(mode, sizeof mode, "%04o", status.st_mode & 07777);
                found.push_back(std::string(mode) + " " + relative);
            }
        }
        return found;
    }
};

// The signed update archive of the wrapper of this build, its folders packed open to all (a
// folder's mode is not signed; the host's unpacking narrows it).
fs::path wrapperArchive(testing::UpdateFixture &fixture) {
    const fs::path app = fixture.temp.path() / "release" / "Embrik.app";
    fs::create_directories(app.parent_path());
    fs::copy(EMBRIK_BUNDLE_PATH, app, fs::copy_options::recursive);
    setModes(app, 0755, 0644);
    platform::CodeSignature::sign(app, testing::updateTeam, fixture.key);
    ::chmod(app.c_str(), 0777);
    for (const auto &entry : fs::recursive_directory_iterator(app)) {
        if (entry.is_directory() && !entry.is_symlink()) {
            ::chmod(entry.path().c_str(), 0777);
        }
    }
    const fs::path zip = fixture.temp.path() / "release.zip";
    platform::ZipWriter::writeFolder(app, zip);
    return zip;
}

TEST(PrivateFiles, AreTheUsersAloneOrWritableByTheirOwnerOnlyWhateverTheUmask) {
    enum class First { host, wrapper, installer, update };
    for (const mode_t mask : {mode_t{0}, mode_t{022}, mode_t{077}}) {
        for (const First first : {First::host, First::wrapper, First::installer, First::update}) {
            const char *names[] = {"first start of the host", "wrapper first", "installer first",
                                   "update over an existing install"};
            SCOPED_TRACE(std::string(names[static_cast<int>(first)]) + ", umask 0" +
                         std::to_string(mask / 8) + std::to_string(mask % 8));
            Home home;
            testing::UpdateFixture fixture;
            switch (first) {
            case First::host:
                home.runHost(mask);
                break;
            case First::wrapper:
                home.runWrapper(home.stagedWrapper(), mask);
                home.runHost(mask);
                break;
            case First::installer:
                home.runInstaller(fixture, wrapperArchive(fixture), mask);
                home.runHost(mask);
                break;
            case First::update:
                home.olderRelease();
                home.runHost(mask);
                home.runInstaller(fixture, wrapperArchive(fixture), mask);
                break;
            }
            EXPECT_EQ(home.breakingTheRule(), std::vector<std::string>{});
            // What the rule was checked on.
            EXPECT_NE(fileContents(home.settings), "");
            if (first != First::host) {
                EXPECT_NE(fileContents(home.tandrel / "plugin_version.json"), "");
                EXPECT_EQ(fileContents(home.templates / "Embrik" / "Embrik.moef"),
                          fileContents(fs::path(EMBRIK_BUNDLE_PATH) /
                                       "Contents/Resources/MotionTemplate/Embrik/Embrik.moef"));
            }
            if (first == First::installer || first == First::update) {
                EXPECT_TRUE(fs::is_regular_file(home.applications / "Embrik.app" /
                                                "Contents/MacOS/Embrik"));
            }
        }
    }
}

// Where a mode is narrowed (the suite's folders at a start, the settings and suite files before
// each write, the applications and template folders), a link planted in its place is used as
// the user made it, but what it names keeps its mode. (The folders named are the user's and
// others may read them; one that others may write is not used at all.)
TEST(PrivateFiles, LinksWhereModesAreNarrowedAreNotFollowed) {
    Home home;
    testing::UpdateFixture fixture;
    const fs::path victims = home.base / "victims";
    const fs::path file = victims / "file";
    fs::create_directories(victims);
    writeFile(file, "somebody's file", 0644);
    const std::pair<fs::path, const char *> links[] = {
        {home.settings.parent_path(), "settings"},
        {home.tandrel, "data"},
        {home.group, "group"},
        {home.applications, "applications"},
        {home.templates, "templates"},
    };
    for (const auto &[at, name] : links) {
        fs::create_directories(at.parent_path());
        fs::create_directory(victims / name);
        ::chmod((victims / name).c_str(), 0755);
        fs::create_symlink(victims / name, at);
    }
    fs::create_symlink(file, home.settings);
    fs::create_symlink(file, home.group / "group.com.ostrevale.tandrel.ini");
    fs::create_symlink(file, home.tandrel / "feedback_retry_queue.json.lock");

    home.runHost(0);
    home.runInstaller(fixture, wrapperArchive(fixture), 0);
    for (const auto &[at, name] : links) {
        EXPECT_EQ(testing::modeOf(victims / name), 0755u) << name;
    }
    EXPECT_EQ(testing::modeOf(file), 0644u);
    EXPECT_TRUE(fs::is_regular_file(home.applications / "Embrik.app" / "Contents/MacOS/Embrik"));
}

} // namespace
} // namespace tandrel
