#include "platform/runtime/KeyValueStore.h"

#include "core/tests/FileMode.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

#include <sys/inotify.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <set>

namespace platform {
namespace {

void expectTypedReads(KeyValueStore &store) {
    EXPECT_TRUE(store.setValue("Tandrel.Text", QString("01:00:00:00")));
    store.setValue("Tandrel.Data", QByteArray("[{\"a\":1}]"));
    store.setValue("Tandrel.Map", QVariantMap{{"/Volumes/A.fcpbundle", QByteArray("x")}});

    EXPECT_EQ(store.string("Tandrel.Text"), "01:00:00:00");
    EXPECT_EQ(store.data("Tandrel.Data"), QByteArray("[{\"a\":1}]"));
    const auto map = store.dictionary("Tandrel.Map");
    ASSERT_TRUE(map);
    EXPECT_EQ(map->value("/Volumes/A.fcpbundle").toByteArray(), QByteArray("x"));

    // Another kind, or nothing stored, reads as nothing.
    EXPECT_EQ(store.string("Tandrel.Data"), std::nullopt);
    EXPECT_EQ(store.data("Tandrel.Text"), std::nullopt);
    EXPECT_EQ(store.dictionary("Tandrel.Text"), std::nullopt);
    EXPECT_EQ(store.string("Tandrel.Missing"), std::nullopt);
    EXPECT_FALSE(store.value("Tandrel.Missing").isValid());

    EXPECT_TRUE(store.remove("Tandrel.Text"));
    EXPECT_EQ(store.string("Tandrel.Text"), std::nullopt);
}

TEST(KeyValueStore, InMemoryKeepsEachKindOfValue) {
    MemoryKeyValueStore store;
    expectTypedReads(store);
}

TEST(KeyValueStore, AnIniSuiteKeepsEachKindAndSeesAnotherWritersChangesAtOnce) {
    tandrel::testing::TemporaryFolder folder;
    const QString file = QDir(QString::fromStdString(folder.path().string()))
                             .filePath("group.com.ostrevale.tandrel/suite.ini");
    const auto store = SettingsKeyValueStore::iniFile(file);
    expectTypedReads(*store);

    // Another process's writes, as another store on the same file.
    SettingsKeyValueStore::iniFile(file)->setValue("ExtensionBridge.ActivePresetID",
                                                   QString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"));
    EXPECT_EQ(store->string("ExtensionBridge.ActivePresetID"),
              "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(store->data("Tandrel.Data"), QByteArray("[{\"a\":1}]"));
}

// The user defaults hold the presets (the texts burned in), the libraries and the served
// timeline: the user's alone whatever the umask, also where an older build left them readable.
// A link in the file's place is never narrowed: what it names keeps its mode.
TEST(KeyValueStore, TheUserDefaultsAreTheUsersAloneWhateverTheUmask) {
    namespace fs = std::filesystem;
    tandrel::testing::TemporaryFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    const fs::path file = SettingsKeyValueStore::standardUserDefaultsFile();
    ASSERT_EQ(file, folder.path() / "Ostrevale" / "Embrik Host.conf");
    const auto store = SettingsKeyValueStore::standardUserDefaults();
    {
        const tandrel::testing::ScopedUmask umask(0);
        ASSERT_TRUE(store->setValue("Tandrel.Presets", QByteArray("[]")));
    }
    EXPECT_EQ(tandrel::testing::modeOf(file), 0600u);
    EXPECT_EQ(tandrel::testing::modeOf(file.parent_path()), 0700u);

    fs::permissions(file, fs::perms(0644));
    {
        const tandrel::testing::TypicalUmask umask;
        ASSERT_TRUE(store->setValue("Tandrel.ActivePresetID", QString("x")));
    }
    EXPECT_EQ(tandrel::testing::modeOf(file), 0600u);

    const fs::path elsewhere = folder.path() / "elsewhere.conf";
    std::ofstream(elsewhere) << "";
    fs::permissions(elsewhere, fs::perms(0644));
    fs::remove(file);
    fs::create_symlink(elsewhere, file);
    store->setValue("Tandrel.ActivePresetID", QString("y"));
    EXPECT_EQ(tandrel::testing::modeOf(elsewhere), 0644u);
}

TEST(KeyValueStore, AChangeThatCannotBeWrittenReportsIt) {
    tandrel::testing::TemporaryFolder folder;
    // A file stands where the suite's folder would be made.
    std::ofstream(folder.path() / "blocked") << "a file";
    const auto store = SettingsKeyValueStore::iniFile(
        QString::fromStdString((folder.path() / "blocked" / "suite.ini").string()));
    EXPECT_FALSE(store->setValue("Tandrel.Text", QString("01:00:00:00")));
}

// What happened at a file's name while `change` ran, as inotify saw it in its folder, in order.
// A file replaced whole is only ever moved there (IN_MOVED_TO); a file made at its name, or
// written where it stands, shows as created or modified (and may be read half made). Opening it
// for writing and closing it unchanged (IN_CLOSE_WRITE alone) changes nothing a reader sees.
std::string eventsAt(const std::filesystem::path &file, const std::function<void()> &change) {
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    EXPECT_GE(::inotify_add_watch(watch, file.parent_path().c_str(),
                                  IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO),
              0);
    change();
    std::string seen;
    alignas(inotify_event) char buffer[65536];
    for (ssize_t length; (length = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (char *at = buffer; at < buffer + length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(at);
            if (event->len > 0 && file.filename() == event->name) {
                for (const auto &[mask, name] : {std::pair{IN_CREATE, "created"},
                                                 {IN_MODIFY, "modified"},
                                                 {IN_CLOSE_WRITE, "written"},
                                                 {IN_MOVED_TO, "moved in"}}) {
                    if ((event->mask & mask) != 0) {
                        seen += seen.empty() ? name : std::string(", ") + name;
                    }
                }
            }
            at += sizeof(inotify_event) + event->len;
        }
    }
    ::close(watch);
    return seen;
}

// A reader in another process (the panel, a host starting) never finds the settings half made
// or empty: every change, the first one too and under any umask, puts a whole new file in the
// old one's place.
TEST(KeyValueStore, EveryChangeReplacesTheFileWholeTheFirstOneToo) {
    namespace fs = std::filesystem;
    tandrel::testing::TemporaryFolder folder;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder.path().string()));
    const fs::path defaults = SettingsKeyValueStore::standardUserDefaultsFile();
    const fs::path suite = folder.path() / "group" / "group.ini";
    const auto suiteStore = [&] {
        return SettingsKeyValueStore::iniFile(QString::fromStdString(suite.string()),
                                              tandrel::FileAccess::userOnly);
    };
    const struct {
        const char *what;
        fs::path file;
        std::function<bool()> change;
    } rows[] = {
        {"the first change of the user defaults", defaults,
         [] {
             return SettingsKeyValueStore::standardUserDefaults()->setValue("Tandrel.Presets",
                                                                            QByteArray("[]"));
         }},
        {"a later change of the user defaults", defaults,
         [] {
             return SettingsKeyValueStore::standardUserDefaults()->setValue(
                 "Tandrel.ActivePresetID", QString("x"));
         }},
        {"a removal from the user defaults", defaults,
         [] { return SettingsKeyValueStore::standardUserDefaults()->remove("Tandrel.Presets"); }},
        {"the first change of a suite", suite,
         [&] { return suiteStore()->setValue("ExtensionBridge.PanelWidth", 300.0); }},
        {"a later change of a suite", suite,
         [&] { return suiteStore()->setValue("ExtensionBridge.PanelHeight", 200.0); }},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        fs::create_directories(row.file.parent_path());
        ::chmod(row.file.parent_path().c_str(), 0700);
        const tandrel::testing::ScopedUmask umask(0);
        bool stored = false;
        const std::string seen = eventsAt(row.file, [&] { stored = row.change(); });
        EXPECT_NE(seen.find("moved in"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("created"), std::string::npos) << seen;
        EXPECT_EQ(seen.find("modified"), std::string::npos) << seen;
        EXPECT_TRUE(stored);
        EXPECT_EQ(tandrel::testing::modeOf(row.file), 0600u);
    }
}

// A writer killed half-way leaves a temporary file, or a lock that names no owner: the next
// change takes them away, whoever's writer left them.
TEST(KeyValueStore, WhatAKilledWriterLeftGoesWithTheNextChange) {
    namespace fs = std::filesystem;
    tandrel::testing::TemporaryFolder folder;
    const fs::path file = folder.path() / "suite.ini";
    const auto store = SettingsKeyValueStore::iniFile(QString::fromStdString(file.string()),
                                                      tandrel::FileAccess::userOnly);
    for (const bool first : {true, false}) {
        SCOPED_TRACE(first ? "before the first change" : "before a later change");
        for (const char *left :
             {"suite.ini.Ab12Cd", ".suite.ini.1A2B3C4D.tmp", ".suite.ini.1A2B3C4D.tmp.x9Y8z7",
              ".suite.ini.1A2B3C4D.tmp.lock"}) {
            std::ofstream(folder.path() / left) << "half";
        }
        // Something else of the folder is not the writer's.
        std::ofstream(folder.path() / "suite.ini.notes") << "kept";
        ASSERT_TRUE(store->setValue("Key", first ? QString("one") : QString("two")));
        std::set<std::string> names;
        for (const auto &entry : fs::directory_iterator(folder.path())) {
            names.insert(entry.path().filename().string());
        }
        EXPECT_EQ(names, (std::set<std::string>{"suite.ini", "suite.ini.notes"}));
    }
    EXPECT_EQ(store->string("Key"), "two");
}

} // namespace
} // namespace platform
