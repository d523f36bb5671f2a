#include "platform/runtime/KeyValueStore.h"

#include "core/tests/FileMode.h"
#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSettings>

#include <fstream>

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

} // namespace
} // namespace platform
