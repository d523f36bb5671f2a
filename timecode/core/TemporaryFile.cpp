#include "timecode/core/TemporaryFile.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <system_error>

namespace timecode {

namespace {

// A random (version 4) UUID in upper-case canonical text.
std::string makeUUIDText() {
    static thread_local std::mt19937_64 generator{std::random_device{}()};
    uint64_t halves[2] = {generator(), generator()};
    halves[0] = (halves[0] & ~0xF000ULL) | 0x4000ULL;             // version 4
    halves[1] = (halves[1] & ~(0xC0ULL << 56)) | (0x80ULL << 56); // RFC 4122 variant
    char text[37];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%04X-%012llX",
                  static_cast<unsigned>(halves[0] >> 32),
                  static_cast<unsigned>((halves[0] >> 16) & 0xFFFF),
                  static_cast<unsigned>(halves[0] & 0xFFFF), static_cast<unsigned>(halves[1] >> 48),
                  static_cast<unsigned long long>(halves[1] & 0xFFFFFFFFFFFFULL));
    return text;
}

} // namespace

std::filesystem::path temporaryDirectoryCompat() {
    return std::filesystem::temp_directory_path();
}

std::filesystem::path temporaryFileWithData(std::string_view data) {
    const std::filesystem::path path = temporaryDirectoryCompat() / makeUUIDText();
    const auto fail = [&path](int error) {
        throw std::filesystem::filesystem_error("Could not write the temporary file", path,
                                                std::error_code(error, std::generic_category()));
    };
    // "x": the name must be new; nothing that exists is overwritten.
    std::unique_ptr<FILE, int (*)(FILE *)> file(std::fopen(path.c_str(), "wbx"), std::fclose);
    if (!file) {
        fail(errno);
    }
    if (std::fwrite(data.data(), 1, data.size(), file.get()) != data.size() ||
        std::fclose(file.release()) != 0) {
        const int error = errno;
        std::filesystem::remove(path);
        fail(error);
    }
    return path;
}

} // namespace timecode
