#pragma once

// The state object's services for a screen: the host's own, with user defaults in memory and
// a clock that stands still, so that a screen neither reads nor changes the user's settings
// and tells the same times on every run.

#include "core/snapshot/SnapshotWriter.h"
#include "core/support/UnicodeText.h"
#include "core/tests/HostileTexts.h"
#include "host/state/AppState.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/HostileLibrary.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

#include <QFile>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace tandrel::screens {

inline AppState::Services standInServices(const std::shared_ptr<platform::ManualClock> &clock =
                                              std::make_shared<platform::ManualClock>()) {
    AppState::Services services = AppState::Services::standard();
    services.userDefaults = std::make_shared<platform::MemoryKeyValueStore>();
    services.clock = clock;
    services.timers = clock->timers();
    return services;
}

// A snapshot writer that meets its folder refused, as the host's does when others may write
// it.
inline void refusedSnapshotFolder(const TandrelSnapshot &) {
    throw std::runtime_error("\"" + SnapshotWriter::legacySnapshotURL().parent_path().string() +
                             "\" is refused: others may write it (permissions 0777)");
}

// The sample library given to the tool, else one written into the screen's own folders.
inline std::filesystem::path sampleLibrary(const ScreenContext &context) {
    if (!context.library.isEmpty()) {
        return QFile::encodeName(context.library).toStdString();
    }
    return sample::SampleLibraryWriter::write(sample::standardSampleLibrary(),
                                              QFile::encodeName(context.home).toStdString());
}

// The table of hostile texts the hostile library is named with.
inline std::vector<std::string> hostileTextsTable() {
    std::vector<std::string> texts;
    for (const auto &hostile : testing::hostileTexts()) {
        texts.push_back(hostile.text);
    }
    return texts;
}

// What became of the sample's names in the hostile library; nothing when the screen is drawn
// from the sample.
inline const sample::HostileNaming *hostileNaming(const ScreenContext &context) {
    if (!context.hostile) {
        return nullptr;
    }
    static const sample::HostileNaming naming = [] {
        sample::HostileNaming made;
        sample::hostileSampleLibrary(hostileTextsTable(), &made);
        return made;
    }();
    return &naming;
}

// What the screen's library calls the thing the sample calls `name`, whole.
inline std::string namedWhole(const ScreenContext &context, const std::string &name) {
    const sample::HostileNaming *naming = hostileNaming(context);
    if (naming == nullptr) {
        return name;
    }
    const auto found = naming->names.find(name);
    return found == naming->names.end() ? name : found->second;
}

// The same, as the host lists a timeline's name (read to its first MiB, elided to 300
// characters).
inline std::string named(const ScreenContext &context, const std::string &name) {
    return elidedLine(utf8Prefix(namedWhole(context, name), maxReadTextBytes), shownNameCharacters);
}

// The folder name (the library's, or a part of an event's folder) of the screen's library
// that the sample calls `folder`.
inline std::string folderNamed(const ScreenContext &context, const std::string &folder) {
    const sample::HostileNaming *naming = hostileNaming(context);
    if (naming == nullptr) {
        return folder;
    }
    const auto found = naming->folders.find(folder);
    return found == naming->folders.end() ? folder : found->second;
}

} // namespace tandrel::screens
