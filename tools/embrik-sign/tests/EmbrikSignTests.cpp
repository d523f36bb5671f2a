#include "core/tests/TemporaryFolder.h"
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
        EXPECT_EQ(verified.output.rfind("Downloaded app failed signature verification: ", 0), 0u);
        EXPECT_THAT(verified.output, HasSubstr("/Embrik.app: " + c.failure + "\n"));
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
