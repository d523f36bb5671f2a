#pragma once

#include <filesystem>
#include <string_view>

namespace tandrel {

// Replaces a file whole, so that a reader in another process sees either the old content or
// the new one and never a part: the folder is created when missing, the bytes go to a new
// temporary file beside the target, are flushed to disk and renamed over the target, and then
// the folder itself is flushed so the rename survives a crash.
//
// Fails with std::system_error (std::filesystem::filesystem_error for the folder). On any
// failure before the rename the previous file is untouched and the temporary file is gone. A
// failure to flush the folder after the rename is still reported, although the file then
// already holds the new bytes. The new file's permissions follow the umask, as any new file's.
struct AtomicFileWriter {
    static void write(const std::filesystem::path &target, std::string_view bytes);
};

} // namespace tandrel
