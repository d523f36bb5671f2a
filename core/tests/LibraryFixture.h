#pragma once

// Helpers of the library-reading tests: a scratch folder per test, and a snapshot of every
// file below a folder to show that reading changed nothing.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

namespace tandrel::testing {

// A fresh folder under the system's temporary folder, removed with the object.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tandrel-test-XXXXXX");
        if (!::mkdtemp(pattern.data())) {
            throw std::runtime_error("cannot create a scratch folder");
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder &) = delete;
    ScratchFolder &operator=(const ScratchFolder &) = delete;

    const std::filesystem::path &path() const { return path_; }
    std::filesystem::path operator/(const std::string &name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Every file below `folder` (links not followed) with its contents.
inline std::map<std::string, std::string> snapshotFiles(const std::filesystem::path &folder) {
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_symlink()) {
            files[entry.path().string()] = "-> " + std::filesystem::read_symlink(entry).string();
        } else if (entry.is_regular_file()) {
            std::ifstream in(entry.path(), std::ios::binary);
            files[entry.path().string()] =
                std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        } else {
            files[entry.path().string()] = "<folder>";
        }
    }
    return files;
}

inline void writeFile(const std::filesystem::path &file, const std::string &contents) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
}

} // namespace tandrel::testing
