#include "wrapper/AppDelegate.h"

#include "wrapper/StatusWindow.h"
#include "wrapper/tests/WrapperFixture.h"

#include <QApplication>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::FailingFileManager;
using testing::WrapperFixture;

// One launch of the wrapper against the fixture, with what it did.
struct Launch {
    WrapperFixture fixture;
    fs::path marker = fixture.temp.path() / "data" / "Tandrel" / "plugin_version.json";
    std::optional<int> exitStatus;
    platform::FileManager *files = &platform::FileManager::standard();
    std::unique_ptr<AppDelegate> delegate;

    void run(const std::vector<std::string> &arguments) {
        delegate = std::make_unique<AppDelegate>(
            AppDelegate::Environment{platform::Bundle(fixture.bundle), fixture.home, marker,
                                     [this](int status) { exitStatus = status; }, false, files});
        delegate->applicationDidFinishLaunching(arguments);
    }

    std::optional<std::string> shownText() const {
        if (delegate->window() == nullptr) {
            return std::nullopt;
        }
        return delegate->window()
            ->findChild<QTextEdit *>("statusText")
            ->toPlainText()
            .toStdString();
    }
};

const std::string installedText = "Embrik plugin installed.\n\nYou can close this window — open "
                                  "Final Cut Pro or Motion and Embrik will be available as a "
                                  "filter.";

TEST(AppDelegate, ASilentSuccessQuitsWithoutAWindowAndRecordsTheVersion) {
    Launch launch;
    launch.run({"Embrik", "--silent-install"});
    EXPECT_EQ(launch.exitStatus, 0);
    EXPECT_EQ(launch.shownText(), std::nullopt);
    EXPECT_EQ(PluginVersionMarker::read(launch.marker), (PluginVersionMarker{"1.4", "57"}));
    EXPECT_EQ(testing::fileContents(launch.fixture.templateBase / "Embrik" / "Embrik.moef"),
              "new template");
}

TEST(AppDelegate, ShowsEveryOtherOutcome) {
    const struct {
        const char *what;
        std::vector<std::string> arguments;
        bool removeTemplate;
        std::string text;
        bool marker;
    } cases[] = {
        {"a launch by the user", {"Embrik"}, false, installedText, true},
        {"a launch by the host, after an update", {"/x/Embrik"}, false, installedText, true},
        {"the switch with a value is no switch",
         {"Embrik", "--silent-install=yes"},
         false,
         installedText,
         true},
        {"a failure, silent",
         {"Embrik", "--silent-install"},
         true,
         "Could not install the Motion template.\n\ntemplateNotFound",
         false},
        {"a failure, by the user",
         {"Embrik"},
         true,
         "Could not install the Motion template.\n\ntemplateNotFound",
         false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Launch launch;
        if (c.removeTemplate) {
            fs::remove(launch.fixture.templateSource() / "Embrik.moef");
        }
        launch.run(c.arguments);
        EXPECT_EQ(launch.shownText(), c.text);
        EXPECT_EQ(launch.exitStatus, std::nullopt);
        EXPECT_EQ(fs::exists(launch.marker), c.marker);
    }
    EXPECT_TRUE(AppDelegate::isSilentInstall({"Embrik", "-x", "--silent-install"}));
    EXPECT_FALSE(AppDelegate::isSilentInstall({"Embrik", "--SILENT-INSTALL"}));
}

TEST(AppDelegate, RecordsZeroForInformationItLacks) {
    const struct {
        std::string info;
        PluginVersionMarker marker;
    } cases[] = {
        {"<key>CFBundleVersion</key><string>57</string>", {"0", "57"}},
        {"", {"0", "0"}},
        {"<key>CFBundleShortVersionString</key><string>2.0</string>"
         "<key>CFBundleVersion</key><string>1.0.3</string>",
         {"2.0", "1.0.3"}},
        {"<key>CFBundleShortVersionString</key><integer>2</integer>"
         "<key>CFBundleVersion</key><string>58</string>",
         {"0", "58"}},
    };
    for (const auto &c : cases) {
        Launch launch;
        launch.fixture.writeInfo(c.info);
        launch.run({"Embrik", "--silent-install"});
        EXPECT_EQ(PluginVersionMarker::read(launch.marker), c.marker) << c.info;
    }
}

TEST(AppDelegate, ShowsAFileSystemFailureInItsOwnWords) {
    Launch launch;
    launch.fixture.writeOldTemplate();
    FailingFileManager files(FailingFileManager::Operation::createDirectories, 1, EACCES);
    launch.files = &files;
    launch.run({"Embrik", "--silent-install"});
    EXPECT_EQ(launch.shownText(), "Could not install the Motion template.\n\nCannot create \"" +
                                      launch.fixture.templateBase.string() +
                                      "\": Permission denied");
    EXPECT_FALSE(fs::exists(launch.marker));
}

// Runs a shell command as nobody; true when it succeeded.
bool nobodyCan(const std::string &command) {
    const std::string line = "runuser -u nobody -- sh -c '" + command + "' 2>/dev/null";
    return std::system(line.c_str()) == 0;
}

// Another user of the machine against the folders the template is installed in: each row is
// an attack. Folders an older release left open are narrowed, after which nobody (the user,
// when the tests run as root) can put a template of their own where the editor loads it; a
// folder that stays open to others, or is another user's, is named in the status window, and
// nothing is installed or recorded. Rows that need another user's folder run only as root.
TEST(AppDelegate, NarrowsTheTemplatesFoldersAnOlderReleaseLeftOpenAndRefusesOthersFolders) {
    const bool root = ::geteuid() == 0;
    struct Row {
        const char *what;
        std::function<void(const WrapperFixture &)> prepare;
        // The end of the status window's text; empty: installed.
        std::string refusal;
        bool needsRoot = false;
    };
    const auto levels = [](const WrapperFixture &f) {
        const fs::path movies = f.home / "Movies";
        return std::vector<fs::path>{movies, movies / "Motion Templates.localized",
                                     movies / "Motion Templates.localized" / "Effects.localized",
                                     f.templateBase};
    };
    const Row rows[] = {
        {"every folder of the way left 0777 by an older release",
         [&](const WrapperFixture &f) {
             f.writeOldTemplate();
             for (const fs::path &folder : levels(f)) {
                 ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
             }
         },
         ""},
        {"a home folder everybody may write",
         [](const WrapperFixture &f) { ASSERT_EQ(::chmod(f.home.c_str(), 0777), 0); },
         "/home: writable by everybody (permissions 0777), so another user could put a "
         "template of their own where the editor loads it"},
        {"the effects folder another user's, everybody may write it",
         [&](const WrapperFixture &f) {
             f.writeOldTemplate();
             const fs::path effects = levels(f)[2];
             ASSERT_EQ(::chown(effects.c_str(), 65534, 65534), 0);
             ASSERT_EQ(::chmod(effects.c_str(), 0777), 0);
         },
         "/Effects.localized: belongs to another user (user ID 65534), so another user could "
         "put a template of their own where the editor loads it",
         true},
        {"the movies folder a link to another user's folder",
         [](const WrapperFixture &f) {
             const fs::path theirs = f.temp.path() / "theirs";
             fs::create_directories(theirs);
             ASSERT_EQ(::chown(theirs.c_str(), 65534, 65534), 0);
             fs::create_directory_symlink(theirs, f.home / "Movies");
         },
         "/Movies: belongs to another user (user ID 65534), so another user could put a "
         "template of their own where the editor loads it",
         true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        if (row.needsRoot && !root) {
            GTEST_LOG_(INFO) << "skipped (needs root): " << row.what;
            continue;
        }
        Launch launch;
        const WrapperFixture &fixture = launch.fixture;
        // So that nobody reaches the folders: the test's own folder is its alone.
        ASSERT_EQ(::chmod(fixture.temp.path().c_str(), 0755), 0);
        row.prepare(fixture);
        launch.run({"Embrik", "--silent-install"});
        const fs::path installed = fixture.templateBase / "Embrik" / "Embrik.moef";
        if (!row.refusal.empty()) {
            const std::string shown = launch.shownText().value_or("");
            EXPECT_EQ(shown.rfind("Could not install the Motion template.\n\n", 0), 0u) << shown;
            EXPECT_TRUE(shown.size() >= row.refusal.size() &&
                        shown.compare(shown.size() - row.refusal.size(), row.refusal.size(),
                                      row.refusal) == 0)
                << shown;
            EXPECT_FALSE(fs::exists(launch.marker));
            EXPECT_NE(testing::fileContents(installed), "new template");
            // Nothing was made in another user's folder.
            const fs::path theirs = fixture.temp.path() / "theirs";
            EXPECT_TRUE(!fs::exists(theirs) || fs::is_empty(theirs));
            continue;
        }
        EXPECT_EQ(launch.exitStatus, 0);
        EXPECT_EQ(testing::fileContents(installed), "new template");
        for (const fs::path &folder : levels(fixture)) {
            EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all,
                      fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec)
                << folder;
        }
        if (root) {
            ASSERT_EQ(::chmod(fixture.home.c_str(), 0755), 0);
            EXPECT_TRUE(nobodyCan("test -r \"" + installed.string() + "\""));
            for (const fs::path &folder : levels(fixture)) {
                EXPECT_FALSE(nobodyCan("mkdir \"" + folder.string() + "/Evil\"")) << folder;
                EXPECT_FALSE(
                    nobodyCan("mv \"" + folder.string() + "\" \"" + folder.string() + ".away\""))
                    << folder;
            }
            EXPECT_FALSE(nobodyCan("echo evil > \"" + installed.string() + "\""));
        }
    }
}

TEST(StatusWindow, IsASmallClosableWindowWithThePlainResultText) {
    for (const bool installed : {true, false}) {
        const auto window = StatusWindow::make(installed, "templateNotFound");
        EXPECT_EQ(window->windowTitle(), "Embrik");
        EXPECT_EQ(window->size(), QSize(360, 140));
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "not resizable";
        EXPECT_FALSE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        const auto *label = window->findChild<QTextEdit *>("statusText");
        EXPECT_TRUE(label->isReadOnly());
        EXPECT_LE(label->width(), 300);
        if (const char *folder = std::getenv("TEST_ARTIFACT_DIR")) {
            fs::create_directories(folder);
            window->grab().save(QString::fromStdString(std::string(folder) + "/installer-status-" +
                                                       (installed ? "installed" : "failed") +
                                                       ".png"));
        }
    }
    const auto markup = StatusWindow::make(false, "<b>detail</b>");
    EXPECT_TRUE(
        markup->findChild<QTextEdit *>("statusText")->toPlainText().endsWith("<b>detail</b>"))
        << "shown as plain text";
    EXPECT_EQ(StatusWindow::text(false, std::nullopt),
              "Could not install the Motion template.\n\nUnknown error");

    // A long detail, a path without spaces too, gets the room it needs instead of being cut.
    const auto tall = StatusWindow::make(
        false, "Cannot create \"/home/" + std::string(300, 'x') +
                   "/Movies/Motion Templates.localized/Effects.localized/Ostrevale\": Permission "
                   "denied");
    EXPECT_EQ(tall->width(), 360);
    EXPECT_GT(tall->height(), 140);
    if (const char *folder = std::getenv("TEST_ARTIFACT_DIR")) {
        tall->grab().save(
            QString::fromStdString(std::string(folder) + "/installer-status-failed-long.png"));
    }
}

} // namespace
} // namespace tandrel
