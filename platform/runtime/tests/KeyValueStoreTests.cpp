#include "platform/runtime/KeyValueStore.h"

#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QDir>

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
