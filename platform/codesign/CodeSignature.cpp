#include "platform/codesign/CodeSignature.h"

#include "core/support/AtomicFileWriter.h"
#include "core/support/RegularFile.h"
#include "platform/bundle/BundlePath.h"
#include "platform/filemanager/FileManager.h"

#include <sys/stat.h>

#include <map>
#include <set>

namespace platform {

namespace {

std::string octal(std::uint32_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "0%03o", mode);
    return text;
}

std::string writableByOthers(mode_t mode) {
    return "writable by " + std::string((mode & S_IWOTH) != 0 ? "everybody" : "its group") +
           " (permissions " + octal(mode & 0777) + ")";
}

// The folders a manifest covers: those that hold one of its entries or the signature.
std::set<std::string, std::less<>> coveredFolders(const SignatureManifest &manifest) {
    std::set<std::string, std::less<>> folders;
    const auto addFoldersOf = [&](std::string_view path) {
        for (std::size_t slash = path.find('/'); slash != std::string_view::npos;
             slash = path.find('/', slash + 1)) {
            folders.emplace(path.substr(0, slash));
        }
    };
    for (const auto &entry : manifest.files) {
        addFoldersOf(entry.path);
    }
    addFoldersOf(SignatureManifest::manifestPath);
    return folders;
}

// The first way the bundle differs from its verified manifest, or nothing.
std::optional<std::string> difference(const std::filesystem::path &bundle,
                                      const SignatureManifest &manifest) {
    std::map<std::string_view, const SignatureManifest::Entry *> listed;
    for (const auto &entry : manifest.files) {
        listed.emplace(entry.path, &entry);
    }
    const auto folders = coveredFolders(manifest);
    std::set<std::string> seen;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(bundle, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const std::string path = it->path().lexically_relative(bundle).generic_string();
        const std::string name = BundlePath::printable(path);
        struct stat status {};
        if (::lstat(it->path().c_str(), &status) != 0) {
            return name + ": cannot be examined";
        }
        // What the host launches must not be changed by anybody but its owner afterwards.
        if (S_ISREG(status.st_mode) && (status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
            return name + ": " + writableByOthers(status.st_mode);
        }
        if (path == SignatureManifest::manifestPath || path == SignatureManifest::signaturePath) {
            continue;
        }
        if (const auto problem = BundlePath::problem(path)) {
            return name + ": " + *problem;
        }
        // Folders are implied by the paths inside them, so one that holds nothing signed is
        // not covered, empty or not: nothing unsigned is installed, not even a name.
        if (S_ISDIR(status.st_mode)) {
            if (folders.count(path) == 0) {
                return name + ": a folder not in the signed manifest";
            }
            continue;
        }
        const auto found = listed.find(path);
        if (found == listed.end()) {
            return name + ": not in the signed manifest";
        }
        const SignatureManifest::Entry &entry = *found->second;
        if (S_ISLNK(status.st_mode)) {
            std::error_code linkError;
            const auto target = std::filesystem::read_symlink(it->path(), linkError);
            if (!entry.link || linkError || target.string() != *entry.link) {
                return name + ": a link that differs from the signed manifest";
            }
        } else if (S_ISREG(status.st_mode)) {
            if (entry.link) {
                return name + ": a file where the signed manifest has a link";
            }
            if ((status.st_mode & (S_ISUID | S_ISGID)) != 0) {
                return name + ": set-user-ID or set-group-ID";
            }
            if ((status.st_mode & 0777) != entry.mode) {
                return name + ": permissions " + octal(status.st_mode & 0777) + ", signed " +
                       octal(entry.mode);
            }
            if (SignatureManifest::hashFile(it->path()) != entry.sha256) {
                return name + ": contents differ from the signed manifest";
            }
        } else {
            return name + ": not a file, folder or link";
        }
        seen.insert(path);
    }
    if (error) {
        return "the bundle cannot be examined: " + error.message();
    }
    for (const auto &entry : manifest.files) {
        if (seen.count(entry.path) == 0) {
            return BundlePath::printable(entry.path) + ": missing";
        }
    }
    return std::nullopt;
}

constexpr std::size_t signatureBytes = 64;

// One of the signature's two files, or nothing and why: missing, no file, too large or
// unreadable are told apart, so that a signer can tell what to mend.
std::optional<std::string> signatureFile(const std::filesystem::path &bundle, const char *path,
                                         std::size_t maxBytes, std::string &problem) {
    tandrel::RegularFileRead read =
        tandrel::readRegularFile(bundle / path, maxBytes, tandrel::LinkAtPath::refuse);
    using Status = tandrel::RegularFileRead::Status;
    if (read.status == Status::read) {
        return std::move(read.bytes);
    }
    const std::string name(path);
    if (read.status == Status::tooLarge) {
        problem = name + ": larger than " + std::to_string(maxBytes) + " bytes";
    } else if (read.error == std::errc::no_such_file_or_directory) {
        problem = "no signature (" + name + " is missing)";
    } else if (read.error == std::errc::invalid_argument ||
               read.error == std::errc::too_many_symbolic_link_levels) {
        problem = name + ": not a file";
    } else {
        problem = name + ": cannot be read (" + read.error.message() + ")";
    }
    return std::nullopt;
}

} // namespace

void CodeSignature::sign(const std::filesystem::path &bundle, const std::string &teamIdentifier,
                         const SecretKey &key) {
    FileManager::standard().removeItem(bundle / SignatureManifest::folder);
    const std::string manifest = SignatureManifest::describe(bundle, teamIdentifier).encode();
    const auto signature = signMessage(manifest, key);
    tandrel::AtomicFileWriter::write(bundle / SignatureManifest::manifestPath, manifest);
    tandrel::AtomicFileWriter::write(
        bundle / SignatureManifest::signaturePath,
        std::string_view(reinterpret_cast<const char *>(signature.data()), signature.size()));
}

std::optional<SignatureManifest>
CodeSignature::verifiedManifest(const std::filesystem::path &bundle,
                                const std::vector<TrustedKey> &trusted, std::string &problem) {
    struct stat status {};
    if (::lstat(bundle.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) {
        problem = "not a bundle folder";
        return std::nullopt;
    }
    const auto manifest = signatureFile(bundle, SignatureManifest::manifestPath,
                                        SignatureManifest::maxBytes, problem);
    const auto signature =
        manifest ? signatureFile(bundle, SignatureManifest::signaturePath, signatureBytes, problem)
                 : std::nullopt;
    if (!manifest || !signature) {
        return std::nullopt;
    }
    if (signature->size() != signatureBytes) {
        problem = std::string(SignatureManifest::signaturePath) + ": not a signature of " +
                  std::to_string(signatureBytes) + " bytes";
        return std::nullopt;
    }
    if (trusted.empty()) {
        problem = "no key is trusted to verify the signature";
        return std::nullopt;
    }
    problem = "the signature does not verify with a trusted key";
    for (const TrustedKey &key : trusted) {
        if (!verifyMessage(*manifest, *signature, key.key)) {
            continue;
        }
        try {
            SignatureManifest decoded = SignatureManifest::decode(*manifest);
            if (decoded.teamIdentifier == key.teamIdentifier) {
                problem.clear();
                return decoded;
            }
            problem = "the signed manifest names another team than its key's";
        } catch (const ManifestError &error) {
            problem = std::string("the signed manifest is malformed: ") + error.what();
            return std::nullopt;
        }
    }
    return std::nullopt;
}

ToolResult CodeSignature::display(const std::filesystem::path &bundle,
                                  const std::vector<TrustedKey> &trusted) {
    std::string problem;
    const auto manifest = verifiedManifest(bundle, trusted, problem);
    if (!manifest) {
        return {1, bundle.string() + ": " + problem + "\n"};
    }
    return {0, "Bundle=" + bundle.string() + "\nSignature=Ed25519 manifest of " +
                   std::to_string(manifest->files.size()) +
                   " files\nTeamIdentifier=" + manifest->teamIdentifier + "\n"};
}

ToolResult Assessment::assess(const std::filesystem::path &bundle,
                              const std::vector<TrustedKey> &trusted) {
    std::string problem;
    const auto manifest = CodeSignature::verifiedManifest(bundle, trusted, problem);
    if (manifest) {
        if (const auto found = difference(bundle, *manifest)) {
            problem = *found;
        } else {
            return {0, bundle.string() + ": accepted\nsource=signed by team " +
                           manifest->teamIdentifier + "\n"};
        }
    }
    return {3, bundle.string() + ": rejected\n" + problem + "\n"};
}

} // namespace platform
