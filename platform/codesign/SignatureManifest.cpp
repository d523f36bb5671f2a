#include "platform/codesign/SignatureManifest.h"

#include "core/support/Json.h"
#include "core/support/JsonText.h"
#include "platform/bundle/BundlePath.h"
#include "platform/codesign/SigningKeys.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <set>

namespace platform {

namespace {

using tandrel::Json;

[[noreturn]] void fail(const std::string &reason) {
    throw ManifestError(reason);
}

std::string quotedPath(std::string_view path) {
    std::string text(1, '"');
    text.append(BundlePath::printable(path)).push_back('"');
    return text;
}

bool isLowerHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

const Json &member(const Json &object, const char *key, std::string_view where) {
    const auto found = object.find(key);
    if (found == object.end()) {
        fail(std::string(where) + " has no \"" + key + "\"");
    }
    return *found;
}

SignatureManifest::Entry decodeEntry(const Json &json) {
    if (!json.is_object()) {
        fail("a file entry is not an object");
    }
    const Json &path = member(json, "path", "a file entry");
    if (!path.is_string()) {
        fail("a file entry's path is not text");
    }
    SignatureManifest::Entry entry;
    entry.path = path.get<std::string>();
    if (const auto problem = BundlePath::problem(entry.path)) {
        fail("the path " + quotedPath(entry.path) + " is " + *problem);
    }
    const std::string where = "the entry " + quotedPath(entry.path);
    if (json.contains("link")) {
        const Json &link = json.at("link");
        if (!link.is_string() || json.contains("sha256") || json.contains("mode")) {
            fail(where + " is not a plain link");
        }
        entry.link = link.get<std::string>();
        if (!BundlePath::linkStaysInside(entry.path, *entry.link)) {
            fail(where + " is a link that points out of the bundle");
        }
        return entry;
    }
    const Json &sha256 = member(json, "sha256", where);
    const Json &mode = member(json, "mode", where);
    if (!sha256.is_string() || sha256.get_ref<const std::string &>().size() != 64 ||
        !isLowerHex(sha256.get_ref<const std::string &>())) {
        fail(where + " has no SHA-256 of 64 lower-case hex digits");
    }
    if (!mode.is_number_unsigned() || mode.get<std::uint64_t>() > 0777) {
        fail(where + " has no permission bits from 0 to 0777");
    }
    entry.sha256 = sha256.get<std::string>();
    entry.mode = static_cast<std::uint32_t>(mode.get<std::uint64_t>());
    return entry;
}

} // namespace

SignatureManifest SignatureManifest::describe(const std::filesystem::path &bundle,
                                              std::string team) {
    if (!isValidTeamIdentifier(team)) {
        fail("not a team identifier: " + quotedPath(team));
    }
    SignatureManifest manifest{std::move(team), {}};
    for (auto it = std::filesystem::recursive_directory_iterator(bundle);
         it != std::filesystem::recursive_directory_iterator(); ++it) {
        const std::string path = it->path().lexically_relative(bundle).generic_string();
        if (path == manifestPath || path == signaturePath) {
            continue;
        }
        if (const auto problem = BundlePath::problem(path)) {
            fail(quotedPath(path) + ": " + *problem);
        }
        struct stat status {};
        if (::lstat(it->path().c_str(), &status) != 0) {
            fail(quotedPath(path) + ": cannot be examined");
        }
        if (S_ISDIR(status.st_mode)) {
            // A folder is signed only through what it holds, so an empty one could not be
            // told from one added later: the installer refuses it, so sign nothing with it.
            std::error_code error;
            if (std::filesystem::is_empty(it->path(), error) && !error) {
                fail(quotedPath(path) + ": an empty folder, which a signature cannot cover");
            }
            continue;
        }
        Entry entry{path, {}, 0, {}};
        if (S_ISLNK(status.st_mode)) {
            entry.link = std::filesystem::read_symlink(it->path()).string();
            if (!BundlePath::linkStaysInside(path, *entry.link)) {
                fail(quotedPath(path) + ": a link that points out of the bundle");
            }
        } else if (S_ISREG(status.st_mode)) {
            if ((status.st_mode & (S_ISUID | S_ISGID)) != 0) {
                fail(quotedPath(path) + ": set-user-ID or set-group-ID");
            }
            // The installer refuses it: the program it launches must be its owner's to change.
            if ((status.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
                char mode[8];
                std::snprintf(mode, sizeof mode, "0%03o", status.st_mode & 0777);
                fail(quotedPath(path) + ": writable by others (permissions " + mode +
                     "); only its owner may write it (chmod go-w)");
            }
            const auto hash = hashFile(it->path());
            if (!hash) {
                fail(quotedPath(path) + ": cannot be read");
            }
            entry.sha256 = *hash;
            entry.mode = status.st_mode & 0777;
        } else {
            fail(quotedPath(path) + ": not a file, folder or link");
        }
        manifest.files.push_back(std::move(entry));
    }
    std::sort(manifest.files.begin(), manifest.files.end(),
              [](const Entry &a, const Entry &b) { return a.path < b.path; });
    return manifest;
}

std::string SignatureManifest::encode() const {
    Json files = Json::array();
    for (const Entry &entry : this->files) {
        Json item = {{"path", entry.path}};
        if (entry.link) {
            item["link"] = *entry.link;
        } else {
            item["sha256"] = entry.sha256;
            item["mode"] = entry.mode;
        }
        files.push_back(std::move(item));
    }
    return tandrel::encodeJsonText(Json{{"teamIdentifier", teamIdentifier}, {"files", files}});
}

SignatureManifest SignatureManifest::decode(std::string_view bytes) {
    Json json;
    try {
        json = tandrel::parseJsonText(bytes);
    } catch (const tandrel::DecodingError &error) {
        fail(std::string("not JSON: ") + error.what());
    }
    if (!json.is_object()) {
        fail("not a JSON object");
    }
    const Json &team = member(json, "teamIdentifier", "the manifest");
    if (!team.is_string() || !isValidTeamIdentifier(team.get_ref<const std::string &>())) {
        fail("no valid team identifier");
    }
    const Json &files = member(json, "files", "the manifest");
    if (!files.is_array()) {
        fail("\"files\" is not a list");
    }
    SignatureManifest manifest{team.get<std::string>(), {}};
    std::set<std::string_view> paths;
    manifest.files.reserve(files.size());
    for (const Json &item : files) {
        manifest.files.push_back(decodeEntry(item));
    }
    for (const Entry &entry : manifest.files) {
        if (!paths.insert(entry.path).second) {
            fail("the path " + quotedPath(entry.path) + " is listed twice");
        }
    }
    return manifest;
}

std::optional<std::string> SignatureManifest::hashFile(const std::filesystem::path &file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return std::nullopt;
    }
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::array<unsigned char, 1 << 16> buffer{};
    for (;;) {
        const ssize_t count = ::read(fd, buffer.data(), buffer.size());
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        crypto_hash_sha256_update(&state, buffer.data(), static_cast<unsigned long long>(count));
    }
    std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
    crypto_hash_sha256_final(&state, digest.data());
    std::array<char, crypto_hash_sha256_BYTES * 2 + 1> hex{};
    sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
    return std::string(hex.data(), crypto_hash_sha256_BYTES * 2);
}

} // namespace platform
