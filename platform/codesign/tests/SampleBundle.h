#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace platform::testing {

// Writes a small application bundle at `bundle` (a folder "Embrik.app"): its information
// with the given build, an executable, a resource and a link between them.
inline void writeSampleBundle(const std::filesystem::path &bundle, const std::string &build) {
    namespace fs = std::filesystem;
    fs::create_directories(bundle / "Contents" / "MacOS");
    fs::create_directories(bundle / "Contents" / "Resources" / "MotionTemplate" / "Embrik");
    std::ofstream(bundle / "Contents" / "Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>CFBundleIdentifier</key><string>com.ostrevale.tandrel</string>\n"
           "<key>CFBundleExecutable</key><string>Embrik</string>\n"
           "<key>CFBundleShortVersionString</key><string>1.0</string>\n"
           "<key>CFBundleVersion</key><string>"
        << build << "</string>\n</dict>\n</plist>\n";
    const fs::path executable = bundle / "Contents" / "MacOS" / "Embrik";
    std::ofstream(executable) << "#!/bin/sh\nexit 0\n";
    ::chmod(executable.c_str(), 0755);
    std::ofstream(bundle / "Contents" / "Resources" / "MotionTemplate" / "Embrik" / "Embrik.moef")
        << "template of build " << build << "\n";
    fs::create_symlink("MotionTemplate/Embrik/Embrik.moef",
                       bundle / "Contents" / "Resources" / "Template.moef");
}

} // namespace platform::testing
