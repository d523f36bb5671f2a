#pragma once

#include "core/tests/TemporaryFolder.h"
#include "platform/filemanager/tests/FileFixtures.h"

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

using platform::testing::FailingFileManager;
using platform::testing::fileContents;
using platform::testing::folderNames;

} // namespace tandrel::testing
