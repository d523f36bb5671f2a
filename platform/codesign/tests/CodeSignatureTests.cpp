#include "platform/codesign/CodeSignature.h"

#include "core/tests/TemporaryFolder.h"
#include "platform/codesign/tests/SampleBundle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>

namespace platform {
namespace {

namespace fs = std::filesystem;
using tandrel::testing::TemporaryFolder;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char *team = "Q7M4K2T9XB";

struct SignedBundle {
    TemporaryFolder temp;
    fs::path bundle = temp.path() / "Embrik.app";
    SecretKey key = SecretKey::generate();
    std::vector<TrustedKey> trusted{{team, key.publicKey()}};

    SignedBundle() {
        testing::writeSampleBundle(bundle, "59");
        CodeSignature::sign(bundle, team, key);
    }
};

TEST(CodeSignature, ASignedBundleShowsItsTeamAndIsAccepted) {
    SignedBundle fixture;
    const ToolResult shown = CodeSignature::display(fixture.bundle, fixture.trusted);
    EXPECT_EQ(shown.status, 0);
    EXPECT_THAT(shown.output, HasSubstr("\nTeamIdentifier=Q7M4K2T9XB\n"));

    const ToolResult assessed = Assessment::assess(fixture.bundle, fixture.trusted);
    EXPECT_EQ(assessed.status, 0);
    EXPECT_EQ(assessed.output.substr(0, assessed.output.find('\n')),
              fixture.bundle.string() + ": accepted");

    // Signing again replaces the signature and still verifies.
    CodeSignature::sign(fixture.bundle, team, fixture.key);
    EXPECT_EQ(Assessment::assess(fixture.bundle, fixture.trusted).status, 0);
}

TEST(CodeSignature, AssessmentRejectsEveryChangeAfterSigning) {
    const struct {
        const char *what;
        std::function<void(const fs::path &)> change;
        std::string reason;
    } cases[] = {
        {"changed content",
         [](const fs::path &b) { std::ofstream(b / "Contents/MacOS/Embrik") << "evil"; },
         "Contents/MacOS/Embrik: contents differ from the signed manifest"},
        {"an extra file",
         [](const fs::path &b) { std::ofstream(b / "Contents/MacOS/extra") << "x"; },
         "Contents/MacOS/extra: not in the signed manifest"},
        {"an extra file beside the signature",
         [](const fs::path &b) { std::ofstream(b / "Contents/_CodeSignature/x") << "x"; },
         "Contents/_CodeSignature/x: not in the signed manifest"},
        {"a missing file", [](const fs::path &b) { fs::remove(b / "Contents/Info.plist"); },
         "Contents/Info.plist: missing"},
        {"other permissions",
         [](const fs::path &b) { ::chmod((b / "Contents/MacOS/Embrik").c_str(), 0700); },
         "Contents/MacOS/Embrik: permissions 0700, signed 0755"},
        // Refused as such before it is compared with what was signed.
        {"permissions that let everybody write",
         [](const fs::path &b) { ::chmod((b / "Contents/MacOS/Embrik").c_str(), 0777); },
         "Contents/MacOS/Embrik: writable by everybody (permissions 0777)"},
        {"a set-user-ID bit",
         [](const fs::path &b) { ::chmod((b / "Contents/MacOS/Embrik").c_str(), 04755); },
         "Contents/MacOS/Embrik: set-user-ID or set-group-ID"},
        {"a link pointing elsewhere",
         [](const fs::path &b) {
             fs::remove(b / "Contents/Resources/Template.moef");
             fs::create_symlink("MotionTemplate", b / "Contents/Resources/Template.moef");
         },
         "Contents/Resources/Template.moef: a link that differs from the signed manifest"},
        {"a file where a link was",
         [](const fs::path &b) {
             fs::remove(b / "Contents/Resources/Template.moef");
             std::ofstream(b / "Contents/Resources/Template.moef") << "x";
         },
         "Contents/Resources/Template.moef: a file where the signed manifest has a link"},
        {"a changed manifest",
         [](const fs::path &b) {
             std::ofstream(b / SignatureManifest::manifestPath, std::ios::app) << " ";
         },
         "the signature does not verify with a trusted key"},
        {"an empty folder", [](const fs::path &b) { fs::create_directory(b / "Contents/Empty"); },
         "Contents/Empty: a folder not in the signed manifest"},
        {"a folder holding only a folder",
         [](const fs::path &b) { fs::create_directories(b / "Contents/Resources/A/B"); },
         "Contents/Resources/A: a folder not in the signed manifest"},
        {"no signature",
         [](const fs::path &b) { fs::remove(b / SignatureManifest::signaturePath); },
         "no signature (Contents/_CodeSignature/manifest.sig is missing)"},
        {"no manifest", [](const fs::path &b) { fs::remove(b / SignatureManifest::manifestPath); },
         "no signature (Contents/_CodeSignature/manifest.json is missing)"},
        {"a manifest over the limit",
         [](const fs::path &b) {
             fs::resize_file(b / SignatureManifest::manifestPath, SignatureManifest::maxBytes + 1);
         },
         "Contents/_CodeSignature/manifest.json: larger than 16777216 bytes"},
        {"a folder as the manifest",
         [](const fs::path &b) {
             fs::remove(b / SignatureManifest::manifestPath);
             fs::create_directory(b / SignatureManifest::manifestPath);
         },
         "Contents/_CodeSignature/manifest.json: not a file"},
        {"a cut signature",
         [](const fs::path &b) { fs::resize_file(b / SignatureManifest::signaturePath, 63); },
         "Contents/_CodeSignature/manifest.sig: not a signature of 64 bytes"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SignedBundle fixture;
        c.change(fixture.bundle);
        const ToolResult assessed = Assessment::assess(fixture.bundle, fixture.trusted);
        EXPECT_EQ(assessed.status, 3);
        EXPECT_EQ(assessed.output, fixture.bundle.string() + ": rejected\n" + c.reason + "\n");
    }
}

TEST(CodeSignature, OnlyTrustedKeysOfTheManifestsTeamVerify) {
    SignedBundle fixture;
    const SecretKey foreign = SecretKey::generate();
    const struct {
        const char *what;
        std::vector<TrustedKey> trusted;
        std::string problem;
    } cases[] = {
        {"no trusted key", {}, "no key is trusted to verify the signature"},
        {"another key for the team",
         {{team, foreign.publicKey()}},
         "the signature does not verify with a trusted key"},
        {"the key, trusted for another team",
         {{"OTHERTEAM1", fixture.key.publicKey()}},
         "the signed manifest names another team than its key's"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const ToolResult shown = CodeSignature::display(fixture.bundle, c.trusted);
        EXPECT_EQ(shown.status, 1);
        EXPECT_EQ(shown.output, fixture.bundle.string() + ": " + c.problem + "\n");
        EXPECT_EQ(Assessment::assess(fixture.bundle, c.trusted).status, 3);
    }

    // A bundle signed by a foreign key that claims the trusted team shows no team at all.
    CodeSignature::sign(fixture.bundle, team, foreign);
    EXPECT_THAT(CodeSignature::display(fixture.bundle, fixture.trusted).output,
                Not(HasSubstr("TeamIdentifier")));
}

TEST(CodeSignature, SignsNoBundleWithAFolderItCannotCover) {
    SignedBundle fixture;
    fs::create_directories(fixture.bundle / "Contents/Resources/Empty");
    try {
        CodeSignature::sign(fixture.bundle, team, fixture.key);
        ADD_FAILURE() << "signed";
    } catch (const ManifestError &error) {
        EXPECT_STREQ(error.what(), "\"Contents/Resources/Empty\": an empty folder, which a "
                                   "signature cannot cover");
    }
    std::ofstream(fixture.bundle / "Contents/Resources/Empty/file") << "x";
    CodeSignature::sign(fixture.bundle, team, fixture.key);
    EXPECT_EQ(Assessment::assess(fixture.bundle, fixture.trusted).status, 0);
}

TEST(SignatureManifest, DecodesOnlyWellFormedManifests) {
    const std::string hash(64, 'a');
    const auto manifest = [&](const std::string &files) {
        return "{\"teamIdentifier\":\"T1\",\"files\":[" + files + "]}";
    };
    const auto entry = [&](const std::string &path, const std::string &rest) {
        return "{\"path\":\"" + path + "\"," + rest + "}";
    };
    const std::string mode = "\"sha256\":\"" + hash + "\",\"mode\":493";

    const auto decoded = SignatureManifest::decode(
        manifest(entry("Contents/a", mode) + "," + entry("Contents/b", "\"link\":\"a\"")));
    EXPECT_EQ(decoded.teamIdentifier, "T1");
    ASSERT_EQ(decoded.files.size(), 2u);
    EXPECT_EQ(decoded.files[0], (SignatureManifest::Entry{"Contents/a", hash, 0755, {}}));
    EXPECT_EQ(decoded.files[1].link, "a");
    EXPECT_EQ(SignatureManifest::decode(decoded.encode()).files, decoded.files);

    const struct {
        std::string json;
        std::string error;
    } cases[] = {
        {"[]", "not a JSON object"},
        {"{\"files\":[]}", "the manifest has no \"teamIdentifier\""},
        {"{\"teamIdentifier\":\"T 1\",\"files\":[]}", "no valid team identifier"},
        {manifest(entry("../x", mode)), "the path \"../x\" is a \"..\" component"},
        {manifest(entry("/etc/x", mode)), "the path \"/etc/x\" is an absolute path"},
        {manifest(entry("a", "\"link\":\"../x\"")),
         "the entry \"a\" is a link that points out of the bundle"},
        {manifest(entry("a", "\"sha256\":\"" + hash + "\",\"mode\":2541")),
         "the entry \"a\" has no permission bits from 0 to 0777"},
        {manifest(entry("a", "\"sha256\":\"" + std::string(64, 'A') + "\",\"mode\":420")),
         "the entry \"a\" has no SHA-256 of 64 lower-case hex digits"},
        {manifest(entry("a", mode) + "," + entry("a", mode)), "the path \"a\" is listed twice"},
        {manifest(entry("a", "\"mode\":420")), "the entry \"a\" has no \"sha256\""},
    };
    for (const auto &c : cases) {
        try {
            SignatureManifest::decode(c.json);
            ADD_FAILURE() << c.json;
        } catch (const ManifestError &error) {
            EXPECT_EQ(error.what(), c.error) << c.json;
        }
    }
}

TEST(SigningKeys, ParsesTheBuildsTrustedKeys) {
    const PublicKey key = SecretKey::generate().publicKey();
    EXPECT_EQ(PublicKey::fromBase64(key.base64()), key);
    EXPECT_TRUE(parseTrustedKeys("").empty());

    const auto keys = parseTrustedKeys(" T1=" + key.base64() + " , T2=" + key.base64());
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[1].teamIdentifier, "T2");
    EXPECT_EQ(keys[1].key, key);

    for (const std::string &bad :
         {std::string("T1"), std::string("T1=short"), "=" + key.base64(), "T 1=" + key.base64()}) {
        EXPECT_THROW(parseTrustedKeys(bad), std::invalid_argument) << bad;
    }
}

} // namespace
} // namespace platform
