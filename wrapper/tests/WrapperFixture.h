#pragma once

#include "core/tests/TemporaryFolder.h"
#include "platform/filemanager/FileManager.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

namespace tandrel::testing {

// A wrapper bundle with its template and information, and a private home folder.
struct WrapperFixture {
    TemporaryFolder temp;
    std::filesystem::path bundle = temp.path() / "Embrik.app";
    std::filesystem::path home = temp.path() / "home";
    std::filesystem::path templateBase =
        home / "Movies" / "Motion Templates.localized" / "Effects.localized" / "Ostrevale";

    WrapperFixture() {
        writeTemplate();
        writeInfo("<key>CFBundleShortVersionString</key><string>1.4</string>"
                  "<key>CFBundleVersion</key><string>57</string>");
        std::filesystem::create_directories(home);
    }

    std::filesystem::path templateSource() const {
        return bundle / "Contents" / "Resources" / "MotionTemplate" / "Embrik";
    }

    void writeTemplate() const {
        std::filesystem::create_directories(templateSource() / "Media");
        std::ofstream(templateSource() / "Embrik.moef") << "new template";
        std::ofstream(templateSource() / "Media" / "thumbnail.png") << "picture";
    }

    void writeInfo(const std::string &dictionary) const {
        std::filesystem::create_directories(bundle / "Contents");
        std::ofstream(bundle / "Contents" / "Info.plist")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>"
            << dictionary << "</dict>\n</plist>\n";
    }

    // An earlier installation's template, with a file the new one lacks.
    void writeOldTemplate() const {
        std::filesystem::create_directories(templateBase / "Embrik");
        std::ofstream(templateBase / "Embrik" / "Embrik.moef") << "old template";
        std::ofstream(templateBase / "Embrik" / "old-only.txt") << "old";
    }
};

inline std::string contents(const std::filesystem::path &path) {
    std::ifstream stream(path, std::ios::binary);
    std::ostringstream text;
    text << stream.rdbuf();
    return text.str();
}

inline std::vector<std::string> names(const std::filesystem::path &folder) {
    std::vector<std::string> found;
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
        found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
}

// The real file operations, except that the chosen call of one kind fails (after doing its
// work, for a copy, so that a partial copy is left behind as a full disk would leave it).
class FailingFileManager : public platform::FileManager {
public:
    enum class Operation { copy, move, remove, createDirectories };

    FailingFileManager(Operation operation, int failingCall, int error)
        : operation_(operation), failingCall_(failingCall), error_(error) {}

    void copyItem(const std::filesystem::path &from, const std::filesystem::path &to) override {
        FileManager::copyItem(from, to);
        check(Operation::copy, "Cannot copy");
    }
    void moveItem(const std::filesystem::path &from, const std::filesystem::path &to) override {
        check(Operation::move, "Cannot move");
        FileManager::moveItem(from, to);
    }
    void removeItem(const std::filesystem::path &at) override {
        check(Operation::remove, "Cannot remove");
        FileManager::removeItem(at);
    }
    void createDirectories(const std::filesystem::path &at) override {
        check(Operation::createDirectories, "Cannot create \"" + at.string() + "\"");
        FileManager::createDirectories(at);
    }

private:
    void check(Operation operation, const std::string &what) {
        if (operation == operation_ && ++calls_ == failingCall_) {
            throw std::system_error(error_, std::generic_category(), what);
        }
    }

    Operation operation_;
    int failingCall_;
    int error_;
    int calls_ = 0;
};

} // namespace tandrel::testing
