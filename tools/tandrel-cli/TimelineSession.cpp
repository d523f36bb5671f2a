#include "tools/tandrel-cli/TimelineSession.h"

#include "tools/tandrel-cli/LibraryLookup.h"

namespace tandrel::cli {

TimelineSession::TimelineSession(const std::filesystem::path &library, const std::string &timeline)
    : library_(scanLibrary(library)) {
    const TimelineMatch match = findTimeline(library_, timeline);
    event_ = match.event;
    timeline_ = match.timeline;

    auto assets = std::make_shared<AssetStore>();
    assets->loadAllAssets(library);
    auto roles = std::make_shared<RoleResolver>();
    roles->loadAllRoles(library);
    auto multicams = std::make_shared<MulticamMediaIndex>();
    multicams->scan(library);
    auto db = std::make_shared<FCPDatabaseConnection>(event_->databaseURL.string());
    resolver_ = std::make_unique<TimelineResolver>(std::move(db), std::move(assets),
                                                   std::move(roles), std::move(multicams));
}

std::string TimelineSession::relativeDatabasePath(const std::string &databasePath) const {
    return std::filesystem::path(databasePath).lexically_relative(library_.url).string();
}

} // namespace tandrel::cli
