#pragma once

#include "core/database/AssetStore.h"
#include "core/database/FCPDatabaseConnection.h"
#include "core/database/RoleResolver.h"
#include "core/model/FCPLibrary.h"
#include "core/resolver/MulticamMediaIndex.h"
#include "core/resolver/TimelineResolver.h"

#include <filesystem>
#include <memory>
#include <string>

namespace tandrel::cli {

// One timeline of a library made ready for resolution as the host does it: the library
// scanned, its assets, roles and multicam index loaded, a read-only connection to the
// timeline's event database and a resolver over it.
class TimelineSession {
public:
    // `timeline` is a timeline id or a name (see findTimeline). Fails with std::runtime_error
    // when the path is no library, the library has no such timeline, or several timelines
    // have the name.
    TimelineSession(const std::filesystem::path &library, const std::string &timeline);

    const FCPLibrary &library() const { return library_; }
    const FCPEvent &event() const { return *event_; }
    const FCPTimelineInfo &timeline() const { return *timeline_; }
    TimelineResolver &resolver() { return *resolver_; }

    // The database path relative to the library bundle ("Day 1/CurrentVersion.fcpevent").
    std::string relativeDatabasePath(const std::string &databasePath) const;

private:
    FCPLibrary library_;
    const FCPEvent *event_ = nullptr;
    const FCPTimelineInfo *timeline_ = nullptr;
    std::unique_ptr<TimelineResolver> resolver_;
};

} // namespace tandrel::cli
