#pragma once

// The state object's services for a screen: the host's own, with user defaults in memory and
// a clock that stands still, so that a screen neither reads nor changes the user's settings
// and tells the same times on every run.

#include "host/state/AppState.h"
#include "platform/runtime/KeyValueStore.h"
#include "platform/runtime/ManualClock.h"
#include "tools/make-sample-library/SampleLibrary.h"
#include "tools/make-sample-library/SampleLibraryWriter.h"
#include "tools/tandrel-screens/ScreenRegistry.h"

#include <QFile>

#include <filesystem>
#include <memory>

namespace tandrel::screens {

inline AppState::Services standInServices(const std::shared_ptr<platform::ManualClock> &clock =
                                              std::make_shared<platform::ManualClock>()) {
    AppState::Services services = AppState::Services::standard();
    services.userDefaults = std::make_shared<platform::MemoryKeyValueStore>();
    services.clock = clock;
    services.timers = clock->timers();
    return services;
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
