#include "core/tests/TemporaryFolder.h"
#include "host/update/tests/UpdateFixture.h"
#include "platform/codesign/SigningKeys.h"
#include "platform/codesign/tests/SampleBundle.h"
#include "tools/testing/ChildProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

namespace {

namespace fs = std::filesystem;
using tandrel::testing::ChildProcess;
using tandrel::testing::TemporaryFolder;
using ::testing::HasSubstr;

const fs::path tool = TANDREL_EMBRIK_SIGN;

ChildProcess embrikSign(const std::vector<std::string> &arguments) {
    return ChildProcess::run(tool, arguments);
}

struct Signing {
    TemporaryFolder temp;
    std::string key = (temp.path() / "signing.key").string();
    std::string publicKey;
    fs::path app = temp.path() / "Embrik.app";
    std::string zip = (temp.path() / "Embrik-Plugin-latest.zip").string();

    Signing() {
        const ChildProcess made = embrikSign({"keygen", key});
        EXPECT_EQ(made.status, 0) << made.output;
        publicKey = made.output.substr(0, made.output.find('\n'));
        platform::testing::writeSampleBundle(app, "59");
    }
};

TEST(EmbrikSign, MakesAKeySignsAnArchiveAndVerifiesItAsTheInstallerDoes) {
    Signing signing;
    EXPECT_TRUE(platform::PublicKey::fromBase64(signing.publicKey).has_value());
    struct stat status {};
    ASSERT_EQ(::stat(signing.key.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "the secret key is private";
    EXPECT_EQ(embrikSign({"keygen", signing.key}).status, 1) << "never over an existing key";

    const ChildProcess signed_ = embrikSign({"sign", "--key", signing.key, "--team", "Q7M4K2T9XB",
                                             signing.app.string() + "/", signing.zip});
    EXPECT_EQ(signed_.status, 0) << signed_.output;

    const ChildProcess verified = embrikSign(
        {"verify", "--public-key", signing.publicKey, "--team", "Q7M4K2T9XB", signing.zip});
    EXPECT_EQ(verified.status, 0);
    EXPECT_EQ(verified.output, "accepted\n");
}

TEST(EmbrikSign, ReportsWhyAnArchiveWouldBeRefused) {
    Signing signing;
    ASSERT_EQ(embrikSign({"sign", "--key", signing.key, "--team", "Q7M4K2T9XB",
                          signing.app.string(), signing.zip})
                  .status,
              0);
    const std::string foreign = platform::SecretKey::generate().publicKey().base64();
    const struct {
        std::string publicKey;
        std::string team;
        std::string failure;
    } cases[] = {
        {foreign, "Q7M4K2T9XB", "the signature does not verify with a trusted key"},
        {signing.publicKey, "OTHERTEAM1", "the signed manifest names another team than its key's"},
    };
    for (const auto &c : cases) {
        const ChildProcess verified =
            embrikSign({"verify", "--public-key", c.publicKey, "--team", c.team, signing.zip});
        EXPECT_EQ(verified.status, 1);
        EXPECT_EQ(verified.output,
                  "Downloaded app failed signature verification: Embrik.app: " + c.failure + "\n");
    }

    // A file changed after signing, packed as it is.
    std::ofstream(signing.app / "Contents/MacOS/Embrik") << "changed";
    const std::string changed = (signing.temp.path() / "changed.zip").string();
    ASSERT_EQ(embrikSign({"sign", "--key", signing.key, "--team", "Q7M4K2T9XB",
                          signing.app.string(), changed})
                  .status,
              0);
    EXPECT_EQ(
        embrikSign({"verify", "--public-key", signing.publicKey, "--team", "Q7M4K2T9XB", changed})
            .status,
        0)
        << "signing again covers the change";
}

TEST(EmbrikSign, RefusesWhatNoSignatureCoversByNameAsTheInstallerDoes) {
    using platform::testing::file;
    using platform::testing::folder;
    tandrel::testing::UpdateFixture fixture;
    const auto installer = fixture.installer();
    const std::string publicKey = fixture.key.publicKey().base64();
    const std::string longName = "Embrik.app/Contents/" + std::string(300, 'a');
    const auto verify = [&](const fs::path &zip) {
        return embrikSign({"verify", "--public-key", publicKey, "--team",
                           tandrel::testing::updateTeam, zip.string()});
    };
    const auto install = [&](const fs::path &zip) {
        try {
            installer.installDownloadedArchive(fixture.stage(installer, zip), 57);
        } catch (const std::exception &error) {
            return std::string(error.what());
        }
        return std::string("installed");
    };

    const struct {
        const char *what;
        std::function<void(const fs::path &)> change;
        std::vector<platform::testing::CraftedEntry> extra;
        std::string refusal;
    } cases[] = {
        {"an empty folder inside the application",
         [](const fs::path &app) { fs::create_directory(app / "Contents/Empty"); },
         {},
         "Downloaded app failed notarization check: Embrik.app: rejected\nContents/Empty: a "
         "folder not in the signed manifest"},
        {"an empty folder beside the signature",
         [](const fs::path &app) { fs::create_directory(app / "Contents/_CodeSignature/Extra"); },
         {},
         "Downloaded app failed notarization check: Embrik.app: rejected\n"
         "Contents/_CodeSignature/Extra: a folder not in the signed manifest"},
        {"a file beside the application",
         {},
         {file("README", "read me")},
         "The download holds \"README\" beside Embrik.app, which no signature covers."},
        {"a second application",
         {},
         {folder("Other.app/"), file("Other.app/Contents/Info.plist", "x")},
         "The download holds \"Other.app\" beside Embrik.app, which no signature covers."},
        {"an empty folder beside the application",
         {},
         {folder("__MACOSX/")},
         "The download holds \"__MACOSX\" beside Embrik.app, which no signature covers."},
        {"a name no folder can hold",
         {},
         {file(longName, "x")},
         "Could not unpack the download: entry \"" + longName +
             "\": a path component longer than 255 bytes"},
        {"a manifest over the size limit",
         [](const fs::path &app) {
             fs::resize_file(app / platform::SignatureManifest::manifestPath,
                             platform::SignatureManifest::maxBytes + 1);
         },
         {},
         "Downloaded app failed signature verification: Embrik.app: "
         "Contents/_CodeSignature/manifest.json: larger than 16777216 bytes"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path zip = fixture.archiveWith("59", c.change, c.extra);
        const ChildProcess verified = verify(zip);
        EXPECT_EQ(verified.status, 1);
        EXPECT_EQ(verified.output, c.refusal + "\n");
        EXPECT_EQ(install(zip), c.refusal);
        EXPECT_EQ(fixture.installedTemplate(), "template of build 57\n");
        EXPECT_EQ(tandrel::testing::folderNames(fixture.configuration.applicationsDirectory),
                  std::vector<std::string>{"Embrik.app"});
        EXPECT_FALSE(fs::exists(fixture.installed() / "Contents/Empty"));
    }
    EXPECT_TRUE(fixture.workspace.opened().empty());

    // The same application with nothing added passes both.
    const fs::path plain = fixture.archiveWith("59", {}, {});
    EXPECT_EQ(verify(plain).output, "accepted\n");
    EXPECT_EQ(install(plain), "installed");
    EXPECT_EQ(fixture.installedTemplate(), "template of build 59\n");
}

TEST(EmbrikSign, ExplainsItsUsage) {
    for (const std::vector<std::string> &arguments :
         {std::vector<std::string>{}, {"sign", "--key"}, {"verify", "zip"}, {"unknown", "x"}}) {
        const ChildProcess run = embrikSign(arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_THAT(run.output, HasSubstr("usage: embrik-sign keygen KEY"));
    }
    EXPECT_EQ(embrikSign({"--help"}).status, 0);
}

} // namespace
