#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A manifest that cannot be read, or a bundle that cannot be described by one.
class ManifestError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a bundle's signature covers: the signing team and every file and link of the bundle
// (folders are implied by the paths, so a folder that holds none of them is not covered), as
// "Contents/_CodeSignature/manifest.json". The
// signature, "manifest.sig" beside it, is an Ed25519 signature over the manifest's exact
// bytes; those two files are the only ones the manifest leaves out.
//
//     {"teamIdentifier":"TEAM","files":[
//         {"path":"Contents/Info.plist","sha256":"<64 hex digits>","mode":420},
//         {"path":"Contents/Current","link":"MacOS"}]}
struct SignatureManifest {
    struct Entry {
        std::string path;                // relative to the bundle, a plain path (BundlePath)
        std::string sha256;              // of a file's content, lower-case hex; empty for a link
        std::uint32_t mode = 0;          // a file's permission bits (never set-ID bits)
        std::optional<std::string> link; // a link's target, pointing inside the bundle

        friend bool operator==(const Entry &, const Entry &) = default;
    };

    static constexpr const char *folder = "Contents/_CodeSignature";
    static constexpr const char *manifestPath = "Contents/_CodeSignature/manifest.json";
    static constexpr const char *signaturePath = "Contents/_CodeSignature/manifest.sig";
    static constexpr std::size_t maxBytes = std::size_t{16} << 20;

    std::string teamIdentifier;
    std::vector<Entry> files; // in path order, each path once

    // The manifest of a bundle as it is on disk, its own two files left out. Fails on a
    // set-user-ID or set-group-ID file, a file its group or others may write, anything but
    // files, folders and links, a link that points out of the bundle and an empty folder
    // (which no entry would cover).
    static SignatureManifest describe(const std::filesystem::path &bundle, std::string team);

    std::string encode() const;
    // Strict: every rule above is checked; fails with ManifestError saying what is wrong.
    static SignatureManifest decode(std::string_view bytes);

    // The SHA-256 of a regular file's content (never through a link), in lower-case hex;
    // nothing when it cannot be read.
    static std::optional<std::string> hashFile(const std::filesystem::path &file);
};

} // namespace platform
