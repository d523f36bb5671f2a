#pragma once

// The state object's services for a screen: the host's own, with user defaults in memory and
// a clock that stands still, so that a screen neither reads nor changes the user's settings
// and tells the same times on every run.

#include "core/snapshot/SnapshotWriter.h"
#include "host/state/AppState.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/ManualClock.h"
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

} // namespace tandrel::screens
