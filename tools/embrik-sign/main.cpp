// embrik-sign: the maker's side of plug-in updates. Makes signing keys, signs a wrapper
// application and packs it as the update archive, and checks an archive exactly as the host's
// installer does before it installs one.
#include "host/update/PluginUpdateInstaller.h"
#include "platform/archive/ZipWriter.h"
#include "platform/filemanager/FileManager.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr const char *usage =
    "usage: embrik-sign keygen KEY\n"
    "       embrik-sign sign --key KEY --team ID APP ZIP\n"
    "       embrik-sign verify --public-key PK --team ID ZIP\n"
    "\n"
    "keygen  writes a new secret signing key to the file KEY (never over an existing file)\n"
    "        and prints its public key, for the build's TANDREL_UPDATE_TRUSTED_KEYS (ID=PK)\n"
    "sign    signs the application folder APP for team ID with the key in KEY and packs it\n"
    "        into the new archive ZIP\n"
    "verify  checks ZIP as the host's installer does (unpacking, the application, signature\n"
    "        of team ID with the public key PK, assessment): prints \"accepted\", or the\n"
    "        failure and exits with status 1\n";

struct Arguments {
    std::map<std::string, std::string> options;
    std::vector<std::string> operands;
};

// Options "--name value" among operands; nothing on an option without its value.
std::optional<Arguments> parse(int argc, char **argv, int first) {
    Arguments arguments;
    for (int i = first; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.rfind("--", 0) == 0) {
            if (i + 1 >= argc) {
                return std::nullopt;
            }
            arguments.options[argument.substr(2)] = argv[++i];
        } else {
            arguments.operands.push_back(argument);
        }
    }
    return arguments;
}

int usageError() {
    std::cerr << usage;
    return 2;
}

int fail(const std::string &message) {
    std::cerr << "embrik-sign: " << message << "\n";
    return 1;
}

int keygen(const std::string &keyFile) {
    const platform::SecretKey key = platform::SecretKey::generate();
    const int fd = ::open(keyFile.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return fail("cannot create \"" + keyFile + "\": " + std::strerror(errno));
    }
    const std::string text = key.base64() + "\n";
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (::close(fd) != 0 || !written) {
        ::unlink(keyFile.c_str());
        return fail("cannot write \"" + keyFile + "\"");
    }
    std::cout << key.publicKey().base64() << "\n";
    return 0;
}

int sign(const std::string &keyFile, const std::string &team, const std::string &app,
         const std::string &zip) {
    auto text = platform::readRegularFile(keyFile, 4096);
    while (text && !text->empty() && (text->back() == '\n' || text->back() == '\r')) {
        text->pop_back();
    }
    const auto key = text ? platform::SecretKey::fromBase64(*text) : std::nullopt;
    if (!key) {
        return fail("\"" + keyFile + "\" holds no signing key");
    }
    if (!platform::isValidTeamIdentifier(team)) {
        return fail("not a team identifier: \"" + team + "\"");
    }
    // "Embrik.app/" names the folder "Embrik.app", which the archive keeps.
    std::filesystem::path folder = std::filesystem::path(app).lexically_normal();
    if (folder.filename().empty()) {
        folder = folder.parent_path();
    }
    try {
        platform::CodeSignature::sign(folder, team, *key);
        platform::ZipWriter::writeFolder(folder, zip);
    } catch (const std::exception &error) {
        return fail(error.what());
    }
    return 0;
}

int verify(const std::string &publicKey, const std::string &team, const std::string &zip) {
    const auto key = platform::PublicKey::fromBase64(publicKey);
    if (!key || !platform::isValidTeamIdentifier(team)) {
        return fail("not a public key and team: \"" + publicKey + "\", \"" + team + "\"");
    }
    tandrel::PluginUpdateInstaller::Configuration configuration =
        tandrel::PluginUpdateInstaller::Configuration::standard();
    configuration.teamIdentifier = team;
    configuration.trustedKeys = {{team, *key}};
    // The maker's tool works in the system's temporary folder ($TMPDIR), in a private folder
    // of its own, and leaves nothing in the maker's home.
    std::error_code noTemporaryFolder;
    configuration.temporaryDirectory = std::filesystem::temp_directory_path(noTemporaryFolder);
    if (noTemporaryFolder) {
        configuration.temporaryDirectory = "/tmp";
    }
    const tandrel::PluginUpdateInstaller installer(configuration);
    std::filesystem::path folder;
    // Held until the folder is gone, so that no update takes it for one left by a dead one.
    std::shared_ptr<const void> lock;
    int status = 0;
    try {
        folder = installer.makeTemporaryFolder(&lock);
        installer.unpackAndVerify(zip, folder);
        std::cout << "accepted\n";
    } catch (const std::exception &error) {
        std::cerr << error.what() << "\n";
        status = 1;
    }
    if (!folder.empty()) {
        try {
            platform::FileManager::standard().removeItem(folder);
        } catch (const std::exception &) {
        }
    }
    return status;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        return usageError();
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::cout << usage;
        return 0;
    }
    const auto arguments = parse(argc, argv, 2);
    if (!arguments) {
        return usageError();
    }
    const auto option = [&](const char *name) -> std::optional<std::string> {
        const auto found = arguments->options.find(name);
        if (found == arguments->options.end()) {
            return std::nullopt;
        }
        return found->second;
    };
    const auto &operands = arguments->operands;
    const std::size_t options = arguments->options.size();
    if (command == "keygen" && options == 0 && operands.size() == 1) {
        return keygen(operands[0]);
    }
    if (command == "sign" && options == 2 && option("key") && option("team") &&
        operands.size() == 2) {
        return sign(*option("key"), *option("team"), operands[0], operands[1]);
    }
    if (command == "verify" && options == 2 && option("public-key") && option("team") &&
        operands.size() == 1) {
        return verify(*option("public-key"), *option("team"), operands[0]);
    }
    return usageError();
}
