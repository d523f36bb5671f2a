#pragma once

#include <filesystem>

namespace tandrel {

// Who may read the files and folders we make. What holds a user's words or describes their
// projects (feedback records, the snapshot, dropped FCPXML, the suite shared with the editor
// panel) is the user's alone; the plug-in and the panel run as the user and read it all the
// same.
enum class FileAccess {
    // As any file the user makes: the umask decides (files 0644 and folders 0755, usually).
    standard,
    // The user only: files 0600, and every folder we make for them 0700. A folder that is
    // already there keeps its mode: it is the user's, and may hold other things.
    userOnly,
};

// Creates the folder and each missing one above it, for files of that access. Fails with
// std::filesystem::filesystem_error, also when something other than a folder is in the way.
void createFolders(const std::filesystem::path &folder, FileAccess access);

// Takes every access of the group and of others away from an existing file, as a file written
// anew would have it; a missing file is left missing. False, with the reason in `error`, when
// the mode cannot be changed.
bool restrictToUser(const std::filesystem::path &file, std::error_code &error) noexcept;

} // namespace tandrel
