#pragma once

#include "platform/codesign/SignatureManifest.h"
#include "platform/codesign/SigningKeys.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// What a signing or assessment tool reports: its exit status and its output.
struct ToolResult {
    int status = 0;
    std::string output;
};

// Signing of application bundles: the manifest of SignatureManifest with an Ed25519
// signature over its bytes, checked against keys the build trusts.
struct CodeSignature {
    // Writes the bundle's manifest and its signature (replacing an earlier signature).
    // Fails with ManifestError or std::system_error.
    static void sign(const std::filesystem::path &bundle, const std::string &teamIdentifier,
                     const SecretKey &key);

    // The signature as a signing tool displays it. When the signature verifies with one of
    // the trusted keys and the manifest names that key's team: status 0 and output ending in
    // the line "TeamIdentifier=<team>", the team being the trusted key's. Otherwise status 1
    // and one line saying why (a missing, oversized or unreadable signature file, no trusted
    // key, no key that verifies, ...), which never repeats text of the bundle's own manifest.
    static ToolResult display(const std::filesystem::path &bundle,
                              const std::vector<TrustedKey> &trusted);

    // The manifest when its signature verifies as for `display`, else nothing and the reason.
    static std::optional<SignatureManifest> verifiedManifest(const std::filesystem::path &bundle,
                                                             const std::vector<TrustedKey> &trusted,
                                                             std::string &problem);
};

// The assessment of a bundle before it may run: the signature must verify (as for
// CodeSignature::display) and the bundle must be exactly what its manifest lists: every file
// re-hashed with its permission bits, every link with its target, nothing missing, nothing
// extra (a folder is extra unless it holds a listed entry or the signature), no set-user-ID or
// set-group-ID file, no file (the signature's own included) that its group or others may
// write, nothing but files, folders and links.
// Accepted: status 0 and the first line "<bundle>: accepted". Rejected: status 3, the line
// "<bundle>: rejected" and then the first problem found.
struct Assessment {
    static ToolResult assess(const std::filesystem::path &bundle,
                             const std::vector<TrustedKey> &trusted);
};

} // namespace platform
