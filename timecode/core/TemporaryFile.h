#pragma once

#include <filesystem>
#include <string_view>

namespace timecode {

// The user's temporary directory.
std::filesystem::path temporaryDirectoryCompat();

// Writes the bytes to a new file in the temporary directory, named by a fresh UUID text
// without extension, and answers its path. A failure to write is thrown as
// std::filesystem::filesystem_error.
std::filesystem::path temporaryFileWithData(std::string_view data);

} // namespace timecode
