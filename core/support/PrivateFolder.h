#pragma once

#include "core/support/FileDescriptor.h"
#include "core/support/RegularFile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace tandrel {

// A folder or file of the user's own that another user owns or may write: it is neither read
// nor written. what(): "\"/tmp/shared/Tandrel\" is refused: it belongs to another user
// (nobody)".
class NotOursError : public std::system_error {
public:
    NotOursError(const std::filesystem::path &path, const std::string &why);

    const std::filesystem::path &path() const noexcept { return path_; }
    // The refusal alone, without the code's own words after it.
    const char *what() const noexcept override { return text_.c_str(); }

private:
    std::filesystem::path path_;
    std::string text_;
};

// One of the user's private folders (the data folder "Tandrel", the app group's folder and its
// drop folder, the settings folder), open and checked: only this user may change it
// (whyNotOursAlone, on the open descriptor). What is read, written, renamed or removed in it
// goes through that descriptor, so it happens in this very folder, whatever is put at its path
// meanwhile.
class PrivateFolder {
public:
    enum class Missing { fail, create };

    // Opens the folder at `path`; a link there is followed, and what it names is checked. With
    // Missing::create, a missing folder (and each missing one above it) is made 0700. Fails with
    // NotOursError when the folder is not the user's alone, and with
    // std::filesystem::filesystem_error when it cannot be opened or made
    // (no_such_file_or_directory when it is missing, not_a_directory for something else there).
    static PrivateFolder open(const std::filesystem::path &path, Missing missing);
    // The folder `name` in this one, opened and checked alike.
    PrivateFolder folder(const std::string &name, Missing missing) const;
    // The folder `relative` below `base` (the user's data folder, which may be shared): each
    // folder on the way below `base` is opened through the one above it and checked, so that
    // none of them can be another user's ("group.com.ostrevale.tandrel/Tandrel"). `base` itself
    // is not checked. A `relative` that is empty or leaves `base` fails with invalid_argument.
    static PrivateFolder openBelow(const std::filesystem::path &base,
                                   const std::filesystem::path &relative, Missing missing);

    const std::filesystem::path &path() const noexcept { return path_; }
    int descriptor() const noexcept { return fd_.get(); }

    // Reads the regular file `name` in this folder as readRegularFile reads a path. A file there
    // that is not the user's alone fails with NotOursError.
    RegularFileRead read(const std::string &name, uint64_t maxBytes) const;
    // Fails with NotOursError when an entry `name` is there and is not the user's alone; true
    // when there is one.
    bool checkEntry(const std::string &name) const;
    // Removes the entry `name` (a file or a link); false, with the reason, when it was not
    // removed. A missing one is removed already.
    bool remove(const std::string &name, std::error_code &error) const noexcept;
    // Renames the entry `from` to `to` within the folder, replacing what `to` named.
    bool rename(const std::string &from, const std::string &to,
                std::error_code &error) const noexcept;
    // Flushes the folder's entries to disk; a file system that cannot (EINVAL) is no failure.
    bool flush(std::error_code &error) const noexcept;

private:
    PrivateFolder(std::filesystem::path path, FileDescriptor fd)
        : path_(std::move(path)), fd_(std::move(fd)) {}

    static PrivateFolder checked(std::filesystem::path path, FileDescriptor fd);

    std::filesystem::path path_;
    FileDescriptor fd_;
};

} // namespace tandrel
