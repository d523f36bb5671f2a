// The snapshot's save, killed at every write, rename and flush of tandrel-cli's run (strace's
// fault injection): the file is always the old document or the new one, whole, and the next
// save leaves nothing of the killed one behind.
#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "tools/tandrel-cli/tests/SampleBundleTest.h"
#include "tools/testing/KilledAtEveryStep.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <set>

namespace tandrel {
namespace {

namespace fs = std::filesystem;

std::string bytesOf(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::string> entriesOf(const fs::path &folder) {
    std::set<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class SnapshotCrash : public testing::SampleBundleTest {};

TEST_F(SnapshotCrash, KilledAtAnyStepOfItsSaveTheSnapshotIsTheOldOrTheNewAndNothingStays) {
    if (const std::string why = testing::KilledAtEveryStep::unavailable(); !why.empty()) {
        GTEST_SKIP() << why;
    }
    testing::ScratchFolder data;
    const fs::path folder = data / "Tandrel";
    const fs::path file = folder / "current.json";
    const std::vector<std::string> environment{"XDG_DATA_HOME=" + data.path().string()};
    const auto save = [&](const char *preset) {
        return testing::ChildProcess::run(
            TANDREL_CLI, {"snapshot", bundle_->string(), "Sample", "--preset", preset}, nullptr);
    };
    // The old document: what an earlier save left.
    ::setenv("XDG_DATA_HOME", data.path().c_str(), 1);
    ASSERT_EQ(save("Colorist").status, 0);
    const std::string old = bytesOf(file);
    const auto presetOf = [&](const std::string &bytes) {
        return parseJsonText(bytes).get<TandrelSnapshot>().displayConfig.name;
    };
    ASSERT_EQ(presetOf(old), "Colorist");

    const int kills = testing::KilledAtEveryStep::run(
        TANDREL_CLI, {"snapshot", bundle_->string(), "Sample", "--preset", "Conform"}, environment,
        [&] {
            fs::remove_all(folder);
            fs::create_directory(folder);
            ::chmod(folder.c_str(), 0700);
            std::ofstream(file, std::ios::binary) << old;
        },
        [&](const std::string &, int, const std::string &output) {
            const std::string left = bytesOf(file);
            if (left != old) {
                std::string preset;
                EXPECT_NO_THROW(preset = presetOf(left)) << "a part of a document:\n"
                                                         << left.substr(0, 200) << "\n"
                                                         << output;
                EXPECT_EQ(preset, "Conform");
            }
            // The next save takes away whatever the killed one left.
            ASSERT_EQ(save("Conform").status, 0);
            EXPECT_EQ(entriesOf(folder), std::set<std::string>{"current.json"});
            EXPECT_EQ(presetOf(bytesOf(file)), "Conform");
        });
    ::unsetenv("XDG_DATA_HOME");
    // Its writes (the log's among them), its rename and its flushes.
    EXPECT_GE(kills, 4);
}

} // namespace
} // namespace tandrel
