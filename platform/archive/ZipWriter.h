#pragma once

#include <filesystem>

namespace platform {

// Packs a folder into a new zip archive whose entries are named "<folder name>/…", as an
// archive that keeps its parent folder: files, folders and symbolic links (as links), with
// their permission bits; no owners. Entries come in name order, so the same folder always
// gives the same entries. Anything but files, folders and links fails, as does an existing
// archive path. Failures throw std::runtime_error (std::system_error for the disk).
struct ZipWriter {
    static void writeFolder(const std::filesystem::path &folder, const std::filesystem::path &zip);
};

} // namespace platform
