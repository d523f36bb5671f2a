// Another user of the machine who makes the suite's folders first, where the user's data or
// settings folder is one everybody shares (a sticky folder, as the temporary folder is): what he
// made is neither read nor written, and the user is told so. The attacker is "nobody", acted as
// through runuser (the tests run as root in CI); without root the tests skip, saying why.
#include "designkit/CorvaneSplitShell.h"
#include "extension/XMLDropFile.h"
#include "host/bridge/ExtensionBridge.h"
#include "host/feedback/FeedbackService.h"
#include "host/feedback/tests/LoopbackServer.h"
#include "host/views/common/Preferences.h"
#include "host/views/layout/PresetFileDialogs.h"
#include "platform/runtime/KeyValueStore.h"

#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/testing/OtherUser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using testing::OtherUser;
using testing::quotedWord;

constexpr const char *attackerText = "Property of ATTACKER";

// What the attacker's snapshot, queue record and presets say.
std::string attackerSnapshot() {
    return std::string(R"({"schemaVersion":1,"timelineID":"T","timelineName":")") + attackerText +
           R"(","entries":[]})";
}
std::string attackerQueue() {
    return std::string(R"([{"id":"E621E1F8-C36C-495A-93FC-0C247A3E6E5F","operation":{"text":")") +
           attackerText +
           R"(","userName":"victim","appVersion":"1","osVersion":"Linux","appModule":"m",)"
           R"("diagnose":"d"},"attempts":0}])";
}
std::string attackerSuite() {
    return std::string("[General]\nExtensionBridge.Presets=@ByteArray([{\\\"id\\\":"
                       "\\\"E621E1F8-C36C-495A-93FC-0C247A3E6E5F\\\",\\\"name\\\":\\\"") +
           attackerText + "\\\"}])\n";
}

std::string contents(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every file below the folder with its bytes, and every entry's owner and mode.
std::map<std::string, std::string> stateOf(const fs::path &folder) {
    std::map<std::string, std::string> state;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        struct stat status {};
        ::lstat(entry.path().c_str(), &status);
        std::string &line = state[entry.path().lexically_relative(folder).string()];
        line = std::to_string(status.st_uid) + " " + std::to_string(status.st_mode);
        if (entry.is_regular_file() && !entry.is_symlink()) {
            line += " " + contents(entry.path());
        }
    }
    return state;
}

class ForeignFolders : public ::testing::Test {
protected:
    void SetUp() override {
        if (const std::string why = OtherUser::unavailable(); !why.empty()) {
            GTEST_SKIP() << why;
        }
        shared = OtherUser::sharedFolder(scratch.path());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(shared.string()));
    }

    // The attacker's commands, run in the shared folder.
    void attacker(const std::string &commands) {
        const testing::ChildProcess run =
            OtherUser::shell("cd " + quotedWord(shared.string()) + " && " + commands);
        ASSERT_EQ(run.status, 0) << commands << "\n" << run.output;
    }

    testing::ScratchFolder scratch;
    fs::path shared;
};

// A file's bytes as the shell writes them, quoted.
std::string put(const std::string &file, const std::string &bytes) {
    return "printf '%s' " + quotedWord(bytes) + " > " + quotedWord(file);
}

TEST_F(ForeignFolders, WhatAnotherUserMadeFirstIsNeitherReadNorWritten) {
    const testing::ScopedEnvironmentVariable dataHome("XDG_DATA_HOME", shared.string());
    const fs::path library =
        sample::SampleLibraryWriter::write(sample::standardSampleLibrary(), scratch.path());
    const std::string environment = "XDG_DATA_HOME=" + quotedWord(shared.string());
    const auto run = [&](const std::string &tool, const std::string &arguments) {
        return testing::ChildProcess::shell(environment + " TANDREL_LOG_LEVEL=info " +
                                            quotedWord(tool) + " " + arguments + " </dev/null");
    };
    const std::string hisFolder = "it belongs to another user (nobody)";
    // The user's snapshot is not written, and the tool says why.
    const auto snapshotRefused = [&](const std::string &why) {
        const testing::ChildProcess cli =
            run(TANDREL_CLI, "snapshot " + quotedWord(library.string()) + " Sample");
        EXPECT_EQ(cli.status, 1);
        EXPECT_NE(cli.output.find(why), std::string::npos) << cli.output;
    };

    struct Row {
        const char *attack;
        std::string made; // the attacker's commands
        // What the user's programs do; each says what it is told.
        std::function<void()> victim;
    };
    const Row rows[] = {
        {"Tandrel made first, his snapshot in it, only he may write it",
         "mkdir Tandrel && " + put("Tandrel/current.json", attackerSnapshot()) +
             " && chmod 755 Tandrel",
         [&] {
             snapshotRefused("\"" + (shared / "Tandrel").string() + "\" is refused: " + hisFolder);
         }},
        {"Tandrel made first, open to all, his snapshot in it",
         "mkdir Tandrel && " + put("Tandrel/current.json", attackerSnapshot()),
         [&] { snapshotRefused(hisFolder); }},
        {"a link named Tandrel to a folder of his",
         "mkdir his && " + put("his/current.json", attackerSnapshot()) + " && ln -s his Tandrel",
         [&] { snapshotRefused(hisFolder); }},
        {"his record in a retry queue of his, to be sent under the user's name",
         "mkdir Tandrel && " + put("Tandrel/feedback_retry_queue.json", attackerQueue()),
         [&] {
             // The host's queue: nothing of his is taken in, nor sent; the user's own record is
             // not kept where he could read it, and the user is told why.
             testing::LoopbackServer server({{500, "{}"}});
             std::optional<FeedbackService::SendResult> result;
             {
                 FeedbackService service({server.server(), FeedbackService::retryQueueStoreURL(),
                                          [](double, std::function<void()>) {}, true});
                 EXPECT_EQ(service.retryQueue().pendingCount(), 0u);
                 service.send({"mine", "victim", "1", "Linux", "m", "d", {}, {}}, nullptr,
                              [&](const FeedbackService::SendResult &r) { result = r; });
                 ASSERT_TRUE(QTest::qWaitFor([&] { return result.has_value(); }, 30'000));
             }
             EXPECT_FALSE(result->savedForRetry);
             EXPECT_TRUE(result->notSavedBecause.contains(QString::fromStdString(hisFolder)))
                 << result->notSavedBecause.toStdString();
             for (const auto &request : server.requests()) {
                 EXPECT_EQ(request.body.find(attackerText), std::string::npos);
             }
             // The tool says so too.
             const testing::ChildProcess tool = testing::ChildProcess::shell(
                 environment + " TANDREL_FEEDBACK_SERVER=" +
                 testing::LoopbackServer::closedServer().toStdString() + " " +
                 quotedWord(TANDREL_FEEDBACK) + " hello");
             EXPECT_EQ(tool.status, 1);
             EXPECT_NE(tool.output.find("the feedback was not saved (the retry queue's file is not "
                                        "used: \"" +
                                        (shared / "Tandrel").string() +
                                        "\" is refused: " + hisFolder + ")"),
                       std::string::npos)
                 << tool.output;
         }},
        {"the app group's folder made first, his presets in its suite",
         "mkdir group.com.ostrevale.tandrel && " +
             put("group.com.ostrevale.tandrel/group.com.ostrevale.tandrel.ini", attackerSuite()),
         [&] {
             // The panel reads no preset of his, the host publishes nothing into it, and a drop
             // is not saved there.
             EXPECT_EQ(ExtensionBridge::readPresets().presets,
                       std::vector<ExtensionBridge::PresetSummary>{});
             ExtensionBridge::publishPresets({{Uuid::random(), "Mine"}}, Uuid::random());
             ExtensionBridge::publishActiveSelection("Sample", std::nullopt);
             const XMLDropFile::Outcome dropped =
                 XMLDropFile({platform::Clock::system(), [] {}}).save("<fcpxml/>");
             EXPECT_EQ(dropped.statusText, "Couldn't reach the shared container: \"" +
                                               (shared / "group.com.ostrevale.tandrel").string() +
                                               "\" is refused: " + hisFolder);
         }},
        {"the user's own Tandrel left open to all by an older release, his snapshot in it",
         put("Tandrel/current.json", attackerSnapshot()),
         [&] {
             snapshotRefused("\"" + (shared / "Tandrel").string() +
                             "\" is refused: others may write it (permissions 0777)");
         }},
        {"the settings folder made first, his presets in the settings",
         "mkdir Ostrevale && " +
             put("Ostrevale/Embrik Host.conf",
                 std::string("[General]\nTandrel.ActivePresetID=") + attackerText + "\n"),
         [&] {
             const auto store = platform::SettingsKeyValueStore::standardUserDefaults();
             EXPECT_EQ(store->string("Tandrel.ActivePresetID"), std::nullopt);
             EXPECT_FALSE(store->setValue("Tandrel.ActivePresetID", QString("mine")));
         }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.attack);
        fs::remove_all(shared);
        OtherUser::sharedFolder(scratch.path());
        if (std::string(row.attack).find("user's own Tandrel") != std::string::npos) {
            fs::create_directory(shared / "Tandrel");
            ::chmod((shared / "Tandrel").c_str(), 0777);
        }
        attacker(row.made);
        const auto before = stateOf(shared);
        row.victim();
        // Whatever he made stays as he made it: nothing of the user's went into it.
        const auto after = stateOf(shared);
        for (const auto &[path, state] : before) {
            EXPECT_EQ(after.count(path) ? after.at(path) : "(gone)", state) << path;
        }
        for (const auto &[path, state] : after) {
            if (!before.count(path)) {
                EXPECT_FALSE(path.starts_with("Tandrel") || path.starts_with("his") ||
                             path.starts_with("group.com.ostrevale.tandrel") ||
                             path.starts_with("Ostrevale"))
                    << "the user's " << path << " went into his folder";
            }
        }
    }
}

// Named as the host names itself while it lives, so that the application's default settings
// are its user defaults' file, as in the host.
struct HostNames {
    QString organisation = QCoreApplication::organizationName();
    QString application = QCoreApplication::applicationName();
    HostNames() {
        QCoreApplication::setOrganizationName(QStringLiteral("Ostrevale"));
        QCoreApplication::setApplicationName(QStringLiteral("Embrik Host"));
    }
    ~HostNames() {
        QCoreApplication::setOrganizationName(organisation);
        QCoreApplication::setApplicationName(application);
    }
};

// The settings a main window and the preset file dialogs keep of their own, with the user's
// settings folder (settingsRoot/Ostrevale) holding values that are not the user's: the sidebar
// opens at its ideal width and the dialog in the user's documents, and nothing of what the
// user does goes into that folder.
void windowsKeepAwayFrom(const fs::path &settingsRoot, const fs::path &userFolder) {
    const HostNames hostNames;
    const fs::path folder = settingsRoot / "Ostrevale";
    const auto before = stateOf(folder);
    {
        corvane::CorvaneSplitShell shell(
            {.persistenceKey = QString::fromUtf8(Preferences::sidebarWidthKey)});
        shell.resize(1000, 700);
        shell.show();
        EXPECT_EQ(shell.sidebarWidth(), 300);
        QWidget *handle = shell.resizeHandle();
        QTest::mousePress(handle, Qt::LeftButton, {}, QPoint(4, 300));
        QTest::mouseMove(handle, QPoint(44, 300));
        QTest::mouseRelease(handle, Qt::LeftButton, {}, QPoint(44, 300));
        EXPECT_EQ(shell.sidebarWidth(), 340);
    }

    const std::unique_ptr<PresetFileDialogs> dialogs = PresetFileDialogs::makeSystem();
    QWidget window;
    std::optional<fs::path> exported;
    dialogs->chooseExportFile(&window, QStringLiteral("Conform.json"),
                              [&](std::optional<fs::path> file) { exported = file; });
    auto *dialog = window.findChild<QFileDialog *>();
    ASSERT_NE(dialog, nullptr);
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    EXPECT_EQ(dialog->directory().absolutePath().toStdString(),
              QDir(QFileInfo(documents).isDir() ? documents : QDir::homePath())
                  .absolutePath()
                  .toStdString());
    dialog->selectFile(QString::fromStdString((userFolder / "Conform.json").string()));
    static_cast<QDialog *>(dialog)->accept();
    EXPECT_EQ(exported, userFolder / "Conform.json");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(stateOf(folder), before);
}

// What the settings say that are not the user's: a width and his folder for preset files.
std::string hisSettings(const fs::path &hisFolder) {
    return "[General]\nsidebarWidth=390\npresetFileFolder=" + hisFolder.string() + "\n";
}

// The windows' own settings (the sidebar's width, the folder of the last preset file) go
// through the host's user defaults too: a settings folder another user made gives them
// nothing of his and takes nothing of the user's.
TEST_F(ForeignFolders, TheWindowsKeepNothingInASettingsFolderAnotherUserMade) {
    attacker("mkdir Ostrevale his && " +
             put("Ostrevale/Embrik Host.conf", hisSettings(shared / "his")));
    const fs::path mine = scratch.path() / "mine";
    fs::create_directories(mine);
    windowsKeepAwayFrom(shared, mine);
}

// The same with the user's own settings folder left open to all (an older release, a umask of
// 000): anybody may have changed what it holds. No other user is needed for this one.
TEST(ForeignSettingsFolder, TheWindowsKeepNothingInTheUsersSettingsFolderLeftOpenToAll) {
    testing::ScratchFolder scratch;
    const fs::path root = scratch.path() / "config";
    fs::create_directories(root / "Ostrevale");
    ::chmod((root / "Ostrevale").c_str(), 0777);
    std::ofstream(root / "Ostrevale" / "Embrik Host.conf") << hisSettings(scratch.path() / "his");
    fs::create_directories(scratch.path() / "his");
    fs::create_directories(scratch.path() / "mine");
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(root.string()));
    windowsKeepAwayFrom(root, scratch.path() / "mine");
}

} // namespace
} // namespace tandrel
