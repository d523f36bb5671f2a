// Feeds arbitrary bytes to what the host does with a downloaded update before it trusts it:
// the bounded extraction of the archive, the walk that describes what came out, the
// assessment of the application against its signed manifest, and the reading of a signature
// manifest. Extraction may only fail with ExtractionError and must write nothing beside its
// destination; an application the assessment accepts must be exactly what its manifest
// lists (describing it again gives the same entries, with no folder that holds nothing
// signed); a manifest may only fail with ManifestError, and one that reads must write again to
// the same entries.
//
// The seeds' applications are signed with the key below, made for this target alone, so that
// mutations of the rest of an archive reach the comparison with the manifest.

#include "platform/archive/ArchiveExtractor.h"
#include "platform/codesign/CodeSignature.h"
#include "platform/codesign/SignatureManifest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The secret key that signed the seeds (embrik-sign keygen); it signs nothing else.
constexpr const char *fuzzSigningKey =
    "MF3wTenoAc2ZenbMFhfvG/apzO8GzQS1UWIY/+JeysaH6z301L44y9kz2vD5"
    "jmRw4LYVue6PEZQEnax32wlphA==";

const std::vector<platform::TrustedKey> &trustedKeys() {
    static const std::vector<platform::TrustedKey> keys{
        {"FUZZ", platform::SecretKey::fromBase64(fuzzSigningKey).value().publicKey()}};
    return keys;
}

// A private folder for one input, holding only the extraction's destination; removed with
// everything in it when the input is done (libFuzzer ends without running exit handlers).
class Sandbox {
public:
    Sandbox() {
        std::string pattern = (fs::temp_directory_path() / "fuzz-update-archive-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        path_ = pattern;
    }
    Sandbox(const Sandbox &) = delete;
    Sandbox &operator=(const Sandbox &) = delete;
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path &path() const { return path_; }

private:
    fs::path path_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const Sandbox sandbox;
    const fs::path destination = sandbox.path() / "out";
    fs::create_directory(destination);
    try {
        platform::ArchiveExtractor::extract({data, size}, destination,
                                            {.maxEntries = 512, .maxBytes = 8u << 20});
    } catch (const platform::ExtractionError &) {
    }
    for (const auto &entry : fs::directory_iterator(sandbox.path())) {
        if (entry.path() != destination) {
            std::abort();
        }
    }
    const fs::path app = destination / "Embrik.app";
    std::error_code error;
    if (fs::is_directory(fs::symlink_status(app, error))) {
        std::optional<platform::SignatureManifest> described;
        try {
            described = platform::SignatureManifest::describe(app, "FUZZ");
        } catch (const platform::ManifestError &) {
        }
        if (platform::Assessment::assess(app, trustedKeys()).status == 0) {
            std::string problem;
            const auto verified =
                platform::CodeSignature::verifiedManifest(app, trustedKeys(), problem);
            if (!verified || !described || described->files != verified->files) {
                std::abort();
            }
        }
    }

    try {
        const auto manifest = platform::SignatureManifest::decode(
            std::string_view(reinterpret_cast<const char *>(data), size));
        if (platform::SignatureManifest::decode(manifest.encode()).files != manifest.files) {
            std::abort();
        }
    } catch (const platform::ManifestError &) {
    }
    return 0;
}
