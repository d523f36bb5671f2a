#include "platform/bundle/Bundle.h"
#include "platform/bundle/BundlePath.h"

#include "core/tests/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::TemporaryFolder;

TEST(BundlePath, AcceptsOnlyPlainRelativePaths) {
    const struct {
        std::string path;
        std::optional<std::string> problem;
    } cases[] = {
        {"Embrik.app/Contents/Info.plist", std::nullopt},
        {"Embrik.app/..data", std::nullopt},
        {"", "an empty name"},
        {"/etc/passwd", "an absolute path"},
        {"../x", "a \"..\" component"},
        {"Embrik.app/../../x", "a \"..\" component"},
        {"Embrik.app/./x", "a \".\" component"},
        {"Embrik.app//x", "an empty path component"},
        {"Embrik.app/\nforged line", "a control character in the name"},
        {std::string(1025, 'a'), "a name longer than 1024 bytes"},
        {"Embrik.app/" + std::string(255, 'a'), std::nullopt},
        {"Embrik.app/" + std::string(300, 'a') + "/x", "a path component longer than 255 bytes"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(BundlePath::problem(c.path), c.problem) << c.path.substr(0, 40);
    }
}

TEST(BundlePath, LinksStayInsideTheirContainer) {
    const struct {
        std::string link;
        std::string target;
        bool inside;
    } cases[] = {
        {"Contents/Frameworks/Current", "A", true},
        {"Contents/Frameworks/lib.so", "Versions/A/lib.so", true},
        {"Contents/MacOS/tool", "../Resources/tool", true},
        {"Contents/MacOS/tool", "../../Info", true},
        {"Contents/MacOS/tool", "./.././x", true},
        {"Contents/root", "..", true},
        {"Contents/MacOS/tool", "../../../escape", false},
        {"top", "..", false},
        {"Contents/MacOS/tool", "/bin/sh", false},
        {"Contents/MacOS/tool", "", false},
        // "s" may itself be a link pointing higher up: climbing after it is not judged.
        {"Contents/MacOS/tool", "s/../x", false},
        {"Contents/MacOS/tool", "x\n", false},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(BundlePath::linkStaysInside(c.link, c.target), c.inside)
            << c.link << " -> " << c.target;
    }
}

TEST(BundlePath, PrintsControlCharactersAsEscapes) {
    EXPECT_EQ(BundlePath::printable("a\nb\\c\x7f"), "a\\u{0A}b\\\\c\\u{7F}");
}

void writeInfo(const fs::path &bundle, const std::string &dictionary) {
    fs::create_directories(bundle / "Contents");
    std::ofstream(bundle / "Contents" / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        << dictionary << "</dict>\n</plist>\n";
}

TEST(Bundle, ReadsTextValuesOfItsInformation) {
    TemporaryFolder temp;
    const Bundle bundle(temp.path() / "Embrik.app");
    EXPECT_EQ(bundle.infoString("CFBundleVersion"), std::nullopt) << "no information file";

    writeInfo(bundle.bundlePath(), "<key>CFBundleVersion</key><string>1.0.3</string>\n"
                                   "<key>Count</key><integer>57</integer>\n");
    EXPECT_EQ(bundle.infoString("CFBundleVersion"), "1.0.3");
    EXPECT_EQ(bundle.infoString("Count"), std::nullopt) << "not text";
    EXPECT_EQ(bundle.infoString("Missing"), std::nullopt);

    std::ofstream(bundle.bundlePath() / "Contents" / "Info.plist") << "not a property list";
    EXPECT_EQ(bundle.infoString("CFBundleVersion"), std::nullopt);
}

TEST(Bundle, FindsItselfFromItsExecutableAndItsExecutableFromItsInformation) {
    EXPECT_EQ(Bundle::ofExecutable("/x/Embrik.app/Contents/MacOS/Embrik").bundlePath(),
              "/x/Embrik.app");
    EXPECT_EQ(Bundle::ofExecutable("/x/build/bin/embrik").bundlePath(), "/x/build/bin");
    EXPECT_EQ(Bundle::ofExecutable("/x/Other/Contents/MacOS/Embrik").bundlePath(),
              "/x/Other/Contents/MacOS");

    TemporaryFolder temp;
    const Bundle bundle(temp.path() / "Embrik.app");
    EXPECT_EQ(bundle.executablePath(), bundle.bundlePath() / "Contents/MacOS/Embrik");
    writeInfo(bundle.bundlePath(), "<key>CFBundleExecutable</key><string>Runner</string>\n");
    EXPECT_EQ(bundle.executablePath(), bundle.bundlePath() / "Contents/MacOS/Runner");
    writeInfo(bundle.bundlePath(), "<key>CFBundleExecutable</key><string>../../x</string>\n");
    EXPECT_EQ(bundle.executablePath(), bundle.bundlePath() / "Contents/MacOS/Embrik");

    EXPECT_EQ(bundle.urlForResource("MotionTemplate"), std::nullopt);
    fs::create_directories(bundle.bundlePath() / "Contents/Resources/MotionTemplate");
    EXPECT_EQ(bundle.urlForResource("MotionTemplate"),
              bundle.bundlePath() / "Contents/Resources/MotionTemplate");
}

} // namespace
} // namespace platform
