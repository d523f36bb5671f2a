#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

namespace tandrel {

// Who may read the files and folders we make; nobody but their owner ever writes them,
// whatever the umask (a stricter umask narrows them further). What holds a user's words or
// describes their projects (feedback records, the snapshot, settings, dropped FCPXML, the
// suite shared with the editor panel, the version marker) is the user's alone; the plug-in
// and the panel run as the user and read it all the same.
enum class FileAccess {
    // What another program must read (the installed application, the effect's template):
    // others may read it, only the owner writes. Files 0644, folders 0755.
    standard,
    // The user only: files 0600, folders 0700.
    userOnly,
};

// The modes new files and folders of that access are made with (the umask then applies).
mode_t fileModeFor(FileAccess access) noexcept;
mode_t folderModeFor(FileAccess access) noexcept;
// The permission bits that access takes from the group and others: 077, or 022.
mode_t bitsTakenBy(FileAccess access) noexcept;

// Creates the folder and each missing one above it, each with folderModeFor(access); folders
// that are there keep their mode. Fails with std::filesystem::filesystem_error, also when
// something other than a folder is in the way.
void createFolders(const std::filesystem::path &folder, FileAccess access);

// Takes the bits that the access does not allow (bitsTakenBy) from an existing file or folder,
// so that it is as one made anew would be; a missing path is left missing. A symbolic link at
// the path is never followed: it is refused (too_many_symbolic_link_levels) and what it
// names keeps its mode. False, with the reason in `error`, when the mode was not narrowed.
bool narrowAccess(const std::filesystem::path &path, FileAccess access,
                  std::error_code &error) noexcept;

// Why a folder or file that should be this user's alone is not: another user owns it ("it
// belongs to another user (nobody)"), or its group or others may write it ("others may write it
// (permissions 0777)"); nothing when only this user may change it. The one rule of who may
// touch our files: every reader and writer of the user's private folders and files applies it
// to the status of what it holds open (fstat), never to a path that could be swapped after it.
std::optional<std::string> whyNotOursAlone(const struct stat &status);

// narrowAccess(path, FileAccess::userOnly, error).
bool restrictToUser(const std::filesystem::path &path, std::error_code &error) noexcept;

// Narrows, as a program starts, folders (and files) of its own that an earlier run, another
// program of the suite or an older release may have made wider, each to the access given;
// missing ones are left missing. Only what the user owns is narrowed, and never a folder with
// the sticky bit (one shared by everybody, as the temporary folder is). What is not narrowed
// (a link in its place, another owner's) is logged as a warning, never a failure.
void narrowAtStart(const std::vector<std::pair<std::filesystem::path, FileAccess>> &paths) noexcept;

// Why a user other than this one (root aside) may change what is in the folder, or put another
// folder in its place; nothing when only this user and root may. The folder must belong to
// this user or root and be writable by neither its group nor others; so must every folder
// above it, as its path names them and as they are on disk (links resolved), except that a
// folder above with the sticky bit (the temporary folder) may be everybody's, since there
// nobody renames what is not theirs; a link on the way must be this user's or root's. A
// folder still to be made is judged by the folders that are there (it will be made ours, and
// not open to others), so that this can be asked before anything is made. Judged
// from the root down, so that no folder can be swapped once the one above it is judged. The
// text names the folder and says why ("/srv/shared: writable by everybody (permissions
// 0777)").
std::optional<std::string> othersMayWrite(const std::filesystem::path &folder);

} // namespace tandrel
