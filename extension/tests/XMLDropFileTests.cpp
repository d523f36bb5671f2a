#include "extension/XMLDropFile.h"

#include "core/tests/FileMode.h"
#include "core/tests/LibraryFixture.h"
#include "core/tests/ScopedEnvironmentVariable.h"
#include "platform/runtime/ManualClock.h"

#include <gtest/gtest.h>

namespace tandrel {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using platform::Clock;

Clock::WallTime at(std::chrono::sys_days day, std::chrono::milliseconds time) {
    return Clock::WallTime(day.time_since_epoch() + time);
}

TEST(XMLDropFile, IsNamedByTheUTCSecondOfTheDrop) {
    using namespace std::chrono;
    EXPECT_EQ(XMLDropFile::fileName(at(2026y / December / 8, 2h + 3min + 25s + 900ms)),
              "drop-2026-12-08T02-03-25Z.fcpxml");
    EXPECT_EQ(XMLDropFile::fileName(Clock::WallTime()), "drop-1970-01-01T00-00-00Z.fcpxml");
    EXPECT_EQ(XMLDropFile::fileName(at(1969y / December / 31, 23h + 59min + 59s + 500ms)),
              "drop-1969-12-31T23-59-59Z.fcpxml");
    EXPECT_EQ(XMLDropFile::fileName(Clock::WallTime(), 2), "drop-1970-01-01T00-00-00Z-2.fcpxml");
    EXPECT_EQ(XMLDropFile::fileName(Clock::WallTime(), 12), "drop-1970-01-01T00-00-00Z-12.fcpxml");
}

class XMLDropFileTest : public ::testing::Test {
protected:
    XMLDropFile::Outcome save(const QString &xml) {
        return XMLDropFile({clock, [this] { ++announced; }}).save(xml);
    }
    fs::path drops() const { return data / "group.com.ostrevale.tandrel/GroundTruthDrops"; }
    std::string contents(const fs::path &file) const {
        return testing::snapshotFiles(file.parent_path()).at(file.string());
    }

    testing::ScratchFolder data;
    testing::ScopedEnvironmentVariable dataHome{"XDG_DATA_HOME", data.path().string()};
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    int announced = 0;
};

TEST_F(XMLDropFileTest, SavesTheTextAsUTF8AndCountsCharactersNotBytes) {
    // "é" as e and a combining accent, and a family of four: two characters, 28 bytes.
    const QString xml = QString::fromUtf8("<fcpxml>e\u0301\U0001F468\u200D\U0001F469\u200D"
                                          "\U0001F467\u200D\U0001F466</fcpxml>");
    const XMLDropFile::Outcome outcome = save(xml);
    const fs::path file = drops() / "drop-2023-11-14T22-13-20Z.fcpxml";
    EXPECT_EQ(outcome.statusText, "Saved drop-2023-11-14T22-13-20Z.fcpxml (19 chars)");
    EXPECT_EQ(outcome.file, file);
    EXPECT_EQ(contents(file), xml.toUtf8().toStdString());
    EXPECT_EQ(fs::file_size(file), 45u);
    EXPECT_EQ(announced, 1);

    // A second drop within the same second gets a file of its own beside the first, which the
    // host may not have taken yet (replacing it would lose that drop); the folder is reused.
    clock->advance(900ms);
    EXPECT_EQ(save("<fcpxml version=\"1.11\"/>").statusText,
              "Saved drop-2023-11-14T22-13-20Z-2.fcpxml (24 chars)");
    EXPECT_EQ(testing::snapshotFiles(drops()),
              (std::map<std::string, std::string>{
                  {file.string(), xml.toUtf8().toStdString()},
                  {(drops() / "drop-2023-11-14T22-13-20Z-2.fcpxml").string(),
                   "<fcpxml version=\"1.11\"/>"}}));
    clock->advance(100ms);
    EXPECT_EQ(save("<fcpxml/>").file, drops() / "drop-2023-11-14T22-13-21Z.fcpxml");
    EXPECT_EQ(announced, 3);
}

TEST_F(XMLDropFileTest, EveryEntryOfTheNameTakesItAndTheNextNumberIsUsed) {
    // A folder and a dangling link hold the first two names; "-3" was never used.
    fs::create_directories(drops() / "drop-2023-11-14T22-13-20Z.fcpxml/inside");
    fs::create_symlink(data / "nowhere", drops() / "drop-2023-11-14T22-13-20Z-2.fcpxml");
    testing::writeFile(drops() / "drop-2023-11-14T22-13-20Z-4.fcpxml", "<fcpxml/>");
    const XMLDropFile::Outcome outcome = save("<fcpxml version=\"1.11\"/>");
    EXPECT_EQ(outcome.file, drops() / "drop-2023-11-14T22-13-20Z-3.fcpxml");
    EXPECT_EQ(contents(*outcome.file), "<fcpxml version=\"1.11\"/>");
    EXPECT_TRUE(fs::is_directory(drops() / "drop-2023-11-14T22-13-20Z.fcpxml/inside"));
    EXPECT_EQ(announced, 1);
}

// A drop describes the user's project; the host runs as the user.
TEST_F(XMLDropFileTest, TheDropAndTheFoldersMadeForItAreTheUsersAlone) {
    const testing::TypicalUmask umask;
    const XMLDropFile::Outcome outcome = save("<fcpxml/>");
    ASSERT_TRUE(outcome.file);
    EXPECT_EQ(testing::modeOf(*outcome.file), 0600u);
    EXPECT_EQ(testing::modeOf(drops()), 0700u);
    EXPECT_EQ(testing::modeOf(drops().parent_path()), 0700u);
}

TEST_F(XMLDropFileTest, AFailedSaveSaysWhyAndAnnouncesNothing) {
    struct Case {
        const char *what;
        std::function<void()> block;
        const char *statusStart;
    };
    const fs::path container = data / "group.com.ostrevale.tandrel";
    const Case cases[] = {
        {"a file in the folder's place", [&] { testing::writeFile(drops(), "not a folder"); },
         "Failed to save: Cannot create the folder \""},
        // A taken name is no failure (another is used), but a folder that takes no files is.
        {"a folder that takes no files",
         [&] {
             fs::create_directories(container);
             fs::create_directory_symlink("/proc/self", drops());
         },
         "Failed to save: Cannot create a temporary file"},
        {"no shared container", [&] { testing::writeFile(container, "not a folder"); },
         "Couldn't reach the shared container"},
    };
    for (const Case &c : cases) {
        fs::remove_all(container);
        c.block();
        const auto before = testing::snapshotFiles(data.path());
        const XMLDropFile::Outcome outcome = save("<fcpxml/>");
        EXPECT_TRUE(outcome.statusText.starts_with(c.statusStart))
            << c.what << ": " << outcome.statusText;
        EXPECT_EQ(outcome.file, std::nullopt) << c.what;
        EXPECT_EQ(testing::snapshotFiles(data.path()), before) << c.what;
    }
    EXPECT_EQ(announced, 0);
}

} // namespace
} // namespace tandrel
