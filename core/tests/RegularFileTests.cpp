#include "core/support/RegularFile.h"

#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace tandrel {
namespace {

using testing::TemporaryFolder;

TEST(RegularFile, ReadsARegularFileAndTellsWhyAnythingElseIsNotRead) {
    TemporaryFolder temp;
    std::ofstream(temp.path() / "file", std::ios::binary) << std::string("12345\0", 6);
    std::filesystem::create_directory(temp.path() / "folder");
    ASSERT_EQ(::mkfifo((temp.path() / "pipe").c_str(), 0600), 0);

    const RegularFileRead whole = readRegularFile(temp.path() / "file", 6);
    EXPECT_EQ(whole.bytes, std::string("12345\0", 6));
    EXPECT_FALSE(whole.error);

    const struct {
        const char *name;
        uint64_t maxBytes;
        std::errc why;
    } failures[] = {
        {"missing", 100, std::errc::no_such_file_or_directory},
        {"folder", 100, std::errc::invalid_argument},
        // Refused without waiting for a writer.
        {"pipe", 100, std::errc::invalid_argument},
        {"file", 5, std::errc::file_too_large},
    };
    for (const auto &f : failures) {
        const RegularFileRead read = readRegularFile(temp.path() / f.name, f.maxBytes);
        EXPECT_NE(read.status, RegularFileRead::Status::read) << f.name;
        EXPECT_EQ(read.error, std::make_error_code(f.why)) << f.name;
    }
}

TEST(RegularFile, FollowsALinkAtThePathOnlyWhenAsked) {
    TemporaryFolder temp;
    std::filesystem::create_directory(temp.path() / "folder");
    std::ofstream(temp.path() / "folder" / "file") << "data";
    std::filesystem::create_symlink(temp.path() / "folder" / "file", temp.path() / "link");
    std::filesystem::create_directory_symlink(temp.path() / "folder", temp.path() / "above");

    EXPECT_EQ(readRegularFile(temp.path() / "link", 10).bytes, "data");
    const RegularFileRead refused = readRegularFile(temp.path() / "link", 10, LinkAtPath::refuse);
    EXPECT_EQ(refused.status, RegularFileRead::Status::notReadable);
    EXPECT_EQ(refused.error, std::make_error_code(std::errc::too_many_symbolic_link_levels));
    // A link among the folders above is no link at the path.
    EXPECT_EQ(readRegularFile(temp.path() / "above" / "file", 10, LinkAtPath::refuse).bytes,
              "data");
}

} // namespace
} // namespace tandrel
