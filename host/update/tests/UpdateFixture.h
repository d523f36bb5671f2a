#pragma once

#include "host/update/PluginUpdateInstaller.h"

#include "core/tests/TemporaryFolder.h"
#include "platform/archive/ZipWriter.h"
#include "platform/archive/tests/CraftedZip.h"
#include "platform/codesign/tests/SampleBundle.h"
#include "platform/filemanager/tests/FileFixtures.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

namespace tandrel::testing {

constexpr const char *updateTeam = "Q7M4K2T9XB";

// A clock whose time moves only by the sleeps asked of it.
class ManualClock : public platform::PollingClock {
public:
    TimePoint now() override { return now_; }
    void sleepFor(std::chrono::nanoseconds duration) override {
        now_ += duration;
        slept += duration;
        ++sleeps;
    }

    std::chrono::nanoseconds slept{0};
    int sleeps = 0;

private:
    TimePoint now_{};
};

// The system's running programs, and launches recorded instead of made.
class RecordingWorkspace : public platform::Workspace {
public:
    std::vector<std::unique_ptr<platform::RunningApplication>>
    runningApplications(const std::filesystem::path &bundle) override {
        return platform::Workspace::system().runningApplications(bundle);
    }
    void openApplication(const std::filesystem::path &bundle) override {
        const std::lock_guard lock(mutex_);
        opened_.push_back(bundle);
    }
    std::vector<std::filesystem::path> opened() const {
        const std::lock_guard lock(mutex_);
        return opened_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::filesystem::path> opened_;
};

using platform::testing::fileContents;
using platform::testing::folderNames;

// A private Applications folder with an installed wrapper of build 57, the build's team and
// key, and signed archives of newer wrappers.
struct UpdateFixture {
    TemporaryFolder temp;
    platform::SecretKey key = platform::SecretKey::generate();
    PluginUpdateInstaller::Configuration configuration;
    ManualClock clock;
    RecordingWorkspace workspace;
    int archives = 0;

    UpdateFixture() {
        configuration.applicationsDirectory = temp.path() / "Applications";
        configuration.temporaryDirectory = temp.path() / "tmp";
        configuration.teamIdentifier = updateTeam;
        configuration.trustedKeys = {{updateTeam, key.publicKey()}};
        std::filesystem::create_directories(configuration.temporaryDirectory);
        platform::testing::writeSampleBundle(installed(), "57");
    }

    std::filesystem::path installed() const {
        return configuration.applicationsDirectory / "Embrik.app";
    }
    // The installed application's template, which names its build.
    std::string installedTemplate() const {
        return fileContents(installed() / "Contents/Resources/MotionTemplate/Embrik/Embrik.moef");
    }

    // A zip of an application folder `name` (inside `parent` when given) of that build, signed
    // with `signer` (the trusted key when null); `change` runs on it after signing.
    std::filesystem::path
    archive(const std::string &build,
            const std::function<void(const std::filesystem::path &)> &change = {},
            const platform::SecretKey *signer = nullptr, const std::string &parent = {}) {
        const std::filesystem::path source = temp.path() / ("source-" + std::to_string(++archives));
        const std::filesystem::path app = source / parent / "Embrik.app";
        platform::testing::writeSampleBundle(app, build);
        platform::CodeSignature::sign(app, updateTeam, signer != nullptr ? *signer : key);
        if (change) {
            change(app);
        }
        const std::filesystem::path zip = source.string() + ".zip";
        platform::ZipWriter::writeFolder(parent.empty() ? app : source / parent, zip);
        return zip;
    }

    // A zip of a signed application of that build at its top level, followed by the `extra`
    // entries; `change` runs on the application after signing.
    std::filesystem::path
    archiveWith(const std::string &build,
                const std::function<void(const std::filesystem::path &)> &change,
                const std::vector<platform::testing::CraftedEntry> &extra) {
        namespace fs = std::filesystem;
        const fs::path source = temp.path() / ("source-" + std::to_string(++archives));
        const fs::path app = source / "Embrik.app";
        platform::testing::writeSampleBundle(app, build);
        platform::CodeSignature::sign(app, updateTeam, key);
        if (change) {
            change(app);
        }
        std::vector<fs::path> paths{app};
        for (const auto &entry : fs::recursive_directory_iterator(app)) {
            paths.push_back(entry.path());
        }
        std::sort(paths.begin(), paths.end());
        std::vector<platform::testing::CraftedEntry> entries;
        for (const fs::path &path : paths) {
            const std::string name = path.lexically_relative(source).generic_string();
            const fs::file_status status = fs::symlink_status(path);
            const auto permissions = static_cast<mode_t>(status.permissions() & fs::perms::all);
            if (fs::is_symlink(status)) {
                entries.push_back(platform::testing::link(name, fs::read_symlink(path).string()));
            } else if (fs::is_directory(status)) {
                entries.push_back(platform::testing::folder(name + "/"));
            } else {
                entries.push_back(platform::testing::file(name, fileContents(path), permissions));
            }
        }
        entries.insert(entries.end(), extra.begin(), extra.end());
        const fs::path zip = source.string() + ".zip";
        std::ofstream(zip, std::ios::binary) << platform::testing::craftZip(entries);
        return zip;
    }

    // The update's private folder holding the archive as downloaded.
    std::filesystem::path stage(const PluginUpdateInstaller &installer,
                                const std::filesystem::path &zip) const {
        const std::filesystem::path folder = installer.makeTemporaryFolder();
        std::filesystem::copy_file(zip, folder / "plugin.zip");
        return folder;
    }

    PluginUpdateInstaller installer(PluginUpdateInstaller::Seams seams = {}) {
        if (seams.clock == nullptr) {
            seams.clock = &clock;
        }
        if (seams.workspace == nullptr) {
            seams.workspace = &workspace;
        }
        return PluginUpdateInstaller(configuration, std::move(seams));
    }
};

} // namespace tandrel::testing
