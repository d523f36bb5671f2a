#include "host/update/Updater.h"

#include "core/support/Log.h"

namespace tandrel {

namespace {

auto log() {
    return logger("com.ostrevale.tandrel.host", "update");
}

} // namespace

void LoggingUpdater::startUpdater() {
    if (started_) {
        return;
    }
    started_ = true;
    log()->info("Updater started; Embrik Host itself is updated by the system's package manager");
}

void LoggingUpdater::checkForUpdates() {
    log()->info("Update check asked for; Embrik Host itself is updated by the system's package "
                "manager");
}

} // namespace tandrel
