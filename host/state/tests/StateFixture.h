#pragma once

// The state object on stand-ins: user defaults, bookmarks, the editor, the pasteboard and the
// library scanner played by hand, file-system events delivered by hand, a clock moved by
// hand, and snapshot writes only counted. Nothing of the machine is read or changed.

#include "core/model/FCPLibrary.h"
#include "core/tests/LibraryFixture.h"
#include "host/state/AppState.h"
#include "host/state/tests/FakeStreams.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/MainQueue.h"
#include "platform/runtime/ManualClock.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace tandrel::testing {

// Bookmarks whose bytes are "bookmark:" and the path. Each set below makes a path behave as
// its name says; access is counted per path.
class FakeBookmarks final : public platform::SecurityScopedBookmarks {
public:
    static std::string dataFor(const std::filesystem::path &url) {
        return "bookmark:" + url.string();
    }

    std::optional<std::string> bookmarkData(const std::filesystem::path &url) const override {
        if (unbookmarkable.contains(url)) {
            return std::nullopt;
        }
        return dataFor(url);
    }
    std::optional<Resolved> resolve(std::string_view data) const override {
        if (!data.starts_with("bookmark:")) {
            return std::nullopt;
        }
        const std::filesystem::path url(data.substr(9));
        if (gone.contains(url)) {
            return std::nullopt;
        }
        return Resolved{url, stale.contains(url)};
    }
    bool startAccessing(const std::filesystem::path &url) override {
        if (refused.contains(url)) {
            return false;
        }
        ++started[url];
        return true;
    }
    void stopAccessing(const std::filesystem::path &url) override { ++stopped[url]; }

    std::set<std::filesystem::path> gone, stale, refused, unbookmarkable;
    std::map<std::filesystem::path, int> started, stopped;
};

// The editor as the automation service sees it.
class FakeEditor final : public platform::EditorAutomation {
public:
    std::vector<std::string> runningBundleIdentifiers() const override { return running; }
    std::int32_t determinePermission(const std::string &target) override {
        permissionAskedFor.push_back(target);
        return permission;
    }
    std::optional<ScriptResult> runScript(const std::string &source) override {
        scripts.push_back(source);
        return answer;
    }

    std::vector<std::string> running;
    std::int32_t permission = permitted;
    std::optional<ScriptResult> answer = ScriptValue{.isList = true};
    std::vector<std::string> permissionAskedFor;
    std::vector<std::string> scripts;
};

// Library scans by folder: a library, or the text of the scanner's failure. A folder with
// nothing set scans as a library of its name with one event holding one timeline. Every
// scan is noted, and `during` runs inside each, after the scan's result is taken.
class FakeScanner {
public:
    using Result = std::variant<FCPLibrary, std::string>;

    static FCPLibrary library(const std::filesystem::path &url,
                              const std::vector<std::pair<std::string, int>> &events) {
        FCPLibrary scanned{url, url.stem().string(), {}};
        for (const auto &[name, timelines] : events) {
            std::vector<FCPTimelineInfo> infos;
            for (int i = 0; i < timelines; ++i) {
                infos.push_back({url.string() + "/" + name + "#" + std::to_string(i),
                                 name + " " + std::to_string(i), i + 1, 3, std::nullopt});
            }
            scanned.events.emplace_back(name, std::nullopt, url / name / "CurrentVersion.fcpevent",
                                        infos);
        }
        return scanned;
    }

    std::function<FCPLibrary(const std::filesystem::path &)> function() {
        return [this](const std::filesystem::path &url) {
            scans.push_back(url);
            const auto set = results.find(url);
            const Result result =
                set == results.end() ? Result(library(url, {{"Day 1", 1}})) : set->second;
            if (during) {
                during(url);
            }
            if (const auto *failure = std::get_if<std::string>(&result)) {
                throw std::runtime_error(*failure);
            }
            return std::get<FCPLibrary>(result);
        };
    }

    std::map<std::filesystem::path, Result> results;
    std::vector<std::filesystem::path> scans;
    std::function<void(const std::filesystem::path &)> during;
};

// User defaults in memory that count their writes: a store in a file would save it as often.
class WriteCountingStore final : public platform::KeyValueStore {
public:
    QVariant value(const QString &key) const override { return values_.value(key); }
    bool setValue(const QString &key, const QVariant &value) override {
        ++saves;
        return values_.setValue(key, value);
    }
    bool setValues(const std::vector<std::pair<QString, QVariant>> &values) override {
        ++saves;
        for (const auto &[key, value] : values) {
            values_.setValue(key, value);
        }
        return true;
    }
    bool remove(const QString &key) override {
        ++saves;
        return values_.remove(key);
    }

    int saves = 0;

private:
    platform::MemoryKeyValueStore values_;
};

class StateTest : public ::testing::Test {
protected:
    AppState::Services fakeServices() {
        return {
            .userDefaults = defaults,
            .clock = clock,
            .timers = clock->timers(),
            .fileSystemEvents = streams.factory(),
            .scanLibrary = scanner.function(),
            .bookmarks = bookmarks,
            .editorAutomation = editor,
            .bundledPresetsFolder = presetFiles.path(),
            .pasteboard = pasteboard,
            .writeSnapshot = [this](const TandrelSnapshot &) { ++snapshotWrites; },
            .clearSnapshot = [] {},
            .publishPresets = nullptr,
            .checkPluginUpdate = nullptr,
            .validation = nullptr,
        };
    }
    AppState &state() {
        if (!state_) {
            state_ = std::make_unique<AppState>(fakeServices());
        }
        return *state_;
    }
    // Started, with the start's tasks run.
    AppState &started() {
        state().start();
        platform::MainQueue::runPending();
        return state();
    }
    // The state object of a later run on the same user defaults and pasteboard.
    std::unique_ptr<AppState> nextRun() {
        auto next = std::make_unique<AppState>(fakeServices());
        next->start();
        platform::MainQueue::runPending();
        return next;
    }
    // The watched libraries' URLs, in order.
    std::vector<std::filesystem::path> watchedURLs() const {
        std::vector<std::filesystem::path> urls;
        for (const WatchedLibrary &library : state_->watchedLibraries()) {
            urls.push_back(library.url);
        }
        return urls;
    }
    // The paths under which bookmarks are stored.
    std::vector<std::string> bookmarkedPaths() const {
        std::vector<std::string> paths;
        for (const QString &key : defaults->dictionary(AppState::watchedLibraryBookmarksKey)
                                      .value_or(QVariantMap())
                                      .keys()) {
            paths.push_back(key.toStdString());
        }
        return paths;
    }

    std::shared_ptr<WriteCountingStore> defaults = std::make_shared<WriteCountingStore>();
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    FakeStreams streams;
    FakeScanner scanner;
    std::shared_ptr<FakeBookmarks> bookmarks = std::make_shared<FakeBookmarks>();
    std::shared_ptr<FakeEditor> editor = std::make_shared<FakeEditor>();
    std::shared_ptr<platform::MemoryPasteboard> pasteboard =
        std::make_shared<platform::MemoryPasteboard>();
    ScratchFolder presetFiles;
    int snapshotWrites = 0;
    std::unique_ptr<AppState> state_;
};

} // namespace tandrel::testing
