#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace tandrel {

// Reads a regular file whole, no further than `maxBytes`. The open does not block and anything
// but a regular file is refused: a pipe or device put at the path would otherwise hold the
// reader until somebody wrote to it. Nothing on failure, with `error` telling why: the system's
// own error (no_such_file_or_directory for a missing file), invalid_argument for what is no
// regular file, file_too_large beyond `maxBytes`, also for a file that grew while being read.
std::optional<std::string> readRegularFile(const std::filesystem::path &path, std::size_t maxBytes,
                                           std::error_code &error);

} // namespace tandrel
