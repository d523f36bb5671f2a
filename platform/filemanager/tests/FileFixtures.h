#pragma once

#include "platform/filemanager/FileManager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace platform::testing {

// The whole content of a file ("" when it cannot be read).
inline std::string fileContents(const std::filesystem::path &path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

// The names in a folder, sorted.
inline std::vector<std::string> folderNames(const std::filesystem::path &folder) {
    std::vector<std::string> found;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The real file operations, except that the chosen call of one kind fails with the error
// (after doing its work, for a copy, so that a partial copy is left behind as a full disk
// leaves it). `nested` reports the system's error as the cause of an outer file error, as the
// platform's file manager does.
class FailingFileManager : public FileManager {
public:
    enum class Operation { copy, move, remove, createDirectories, exchange };

    FailingFileManager(Operation operation, int failingCall, int error, bool nested = false)
        : operation_(operation), failingCall_(failingCall), error_(error), nested_(nested) {}

    void copyItem(const std::filesystem::path &from, const std::filesystem::path &to) override {
        FileManager::copyItem(from, to);
        check(Operation::copy, "Cannot copy \"" + from.string() + "\" to \"" + to.string() + "\"");
    }
    void moveItem(const std::filesystem::path &from, const std::filesystem::path &to) override {
        check(Operation::move, "Cannot move \"" + from.string() + "\" to \"" + to.string() + "\"");
        FileManager::moveItem(from, to);
    }
    void exchangeItems(const std::filesystem::path &a, const std::filesystem::path &b) override {
        check(Operation::exchange, "Cannot swap \"" + a.string() + "\" and \"" + b.string() + "\"");
        FileManager::exchangeItems(a, b);
    }
    void removeItem(const std::filesystem::path &at) override {
        check(Operation::remove, "Cannot remove \"" + at.string() + "\"");
        FileManager::removeItem(at);
    }
    void createDirectories(const std::filesystem::path &at) override {
        check(Operation::createDirectories, "Cannot create \"" + at.string() + "\"");
        FileManager::createDirectories(at);
    }

private:
    void check(Operation operation, const std::string &what) {
        if (operation != operation_ || ++calls_ != failingCall_) {
            return;
        }
        if (!nested_) {
            throw std::system_error(error_, std::generic_category(), what);
        }
        try {
            throw std::system_error(error_, std::generic_category());
        } catch (...) {
            std::throw_with_nested(std::runtime_error(what));
        }
    }

    Operation operation_;
    int failingCall_;
    int error_;
    bool nested_;
    int calls_ = 0;
};

} // namespace platform::testing
