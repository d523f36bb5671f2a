#include "core/tests/TemporaryFolder.h"
#include "host/update/tests/UpdateFixture.h"
#include "platform/codesign/SigningKeys.h"
#include "platform/codesign/tests/SampleBundle.h"
#include "tools/testing/ChildProcess.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <optional>

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

// Signs the application as an older signer did, which signed whatever mode a file had: the
// file gets `mode` and the manifest says so.
void signWithMode(const fs::path &app, const std::string &path, mode_t mode,
                  const platform::SecretKey &key) {
    std::ifstream in(app / platform::SignatureManifest::manifestPath, std::ios::binary);
    platform::SignatureManifest manifest = platform::SignatureManifest::decode(
        std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    for (auto &entry : manifest.files) {
        if (entry.path == path) {
            entry.mode = mode;
        }
    }
    ::chmod((app / path).c_str(), mode);
    const std::string bytes = manifest.encode();
    const auto signature = platform::signMessage(bytes, key);
    std::ofstream(app / platform::SignatureManifest::manifestPath,
                  std::ios::binary | std::ios::trunc)
        << bytes;
    std::ofstream(app / platform::SignatureManifest::signaturePath,
                  std::ios::binary | std::ios::trunc)
        << std::string(reinterpret_cast<const char *>(signature.data()), signature.size());
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
        // An older signer signed what anybody may write; the host would launch it.
        {"a file everybody may write, signed so",
         [&](const fs::path &app) {
             signWithMode(app, "Contents/MacOS/Embrik", 0777, fixture.key);
         },
         {},
         "Downloaded app failed notarization check: Embrik.app: rejected\nContents/MacOS/Embrik: "
         "writable by everybody (permissions 0777)"},
        {"a signature file its group may write",
         [](const fs::path &app) {
             fs::permissions(app / platform::SignatureManifest::signaturePath, fs::perms(0664));
         },
         {},
         "Downloaded app failed notarization check: Embrik.app: rejected\n"
         "Contents/_CodeSignature/manifest.sig: writable by its group (permissions 0664)"},
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

// The signer signs only what the installer would install: never a file that somebody other
// than its owner may change.
TEST(EmbrikSign, RefusesToSignWhatOthersMayWrite) {
    Signing signing;
    ::chmod((signing.app / "Contents/Info.plist").c_str(), 0666);
    const ChildProcess signed_ = embrikSign(
        {"sign", "--key", signing.key, "--team", "Q7M4K2T9XB", signing.app.string(), signing.zip});
    EXPECT_EQ(signed_.status, 1);
    EXPECT_EQ(signed_.output, "embrik-sign: \"Contents/Info.plist\": writable by others "
                              "(permissions 0666); only its owner may write it (chmod go-w)\n");
    EXPECT_FALSE(fs::exists(signing.zip));
}

// The tool checks as the host does, whatever its locale: names the zip flags as UTF-8 are
// unpacked as UTF-8 by both, and a pipe given as the archive is refused, not waited on.
TEST(EmbrikSign, ChecksAsTheHostWhateverItsLocaleAndInput) {
    tandrel::testing::UpdateFixture fixture;
    const std::string publicKey = fixture.key.publicKey().base64();
    const std::string key = (fixture.temp.path() / "signing.key").string();
    std::ofstream(key) << fixture.key.base64() << "\n";
    const std::string name = "Contents/Resources/Caf\u00e9 \u2013 \u5f71.moef";
    const fs::path app = fixture.temp.path() / "unicode" / "Embrik.app";
    platform::testing::writeSampleBundle(app, "59");
    std::ofstream(app / name) << "named in UTF-8";
    const fs::path zip = fixture.temp.path() / "unicode.zip";
    const fs::path toolTemp = fixture.temp.path() / "tool-tmp";
    fs::create_directory(toolTemp);
    // The tool as a script would run it: in the "C" locale.
    const std::vector<std::string> plain{"LC_ALL=C", "PATH=/usr/bin:/bin",
                                         "TMPDIR=" + toolTemp.string()};
    const auto run = [&](const std::vector<std::string> &arguments) {
        return ChildProcess::run(tool, arguments, &plain);
    };
    const ChildProcess signed_ = run(
        {"sign", "--key", key, "--team", tandrel::testing::updateTeam, app.string(), zip.string()});
    ASSERT_EQ(signed_.status, 0) << signed_.output;

    // The name carries the zip's UTF-8 flag (bit 11 of its local header's flags).
    std::ifstream in(zip, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const std::string local = std::string("PK\x03\x04", 4);
    std::optional<bool> flagged;
    for (std::size_t at = bytes.find(local); at != std::string::npos;
         at = bytes.find(local, at + 4)) {
        const std::size_t length = static_cast<std::uint8_t>(bytes[at + 26]) |
                                   static_cast<std::uint8_t>(bytes[at + 27]) << 8;
        if (bytes.compare(at + 30, length, "Embrik.app/" + name) == 0) {
            flagged = (static_cast<std::uint8_t>(bytes[at + 7]) & 0x08) != 0;
        }
    }
    EXPECT_EQ(flagged, true);

    const ChildProcess verified = run({"verify", "--public-key", publicKey, "--team",
                                       tandrel::testing::updateTeam, zip.string()});
    EXPECT_EQ(verified.output, "accepted\n");
    const auto installer = fixture.installer();
    installer.installDownloadedArchive(fixture.stage(installer, zip), 57);
    EXPECT_EQ(fixture.installedTemplate(), "template of build 59\n");
    EXPECT_EQ(tandrel::testing::fileContents(fixture.installed() / name), "named in UTF-8");

    // A pipe: unguarded, the tool would wait for a writer for ever (the time-out only keeps a
    // failure from hanging the tests).
    const fs::path pipe = fixture.temp.path() / "pipe.zip";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const ChildProcess piped =
        ChildProcess::run("/usr/bin/timeout",
                          {"60", tool.string(), "verify", "--public-key", publicKey, "--team",
                           tandrel::testing::updateTeam, pipe.string()},
                          &plain);
    EXPECT_EQ(piped.status, 1);
    EXPECT_EQ(piped.output,
              "Could not unpack the download: cannot open the archive: not a regular file\n");
    EXPECT_TRUE(tandrel::testing::folderNames(toolTemp).empty());
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
