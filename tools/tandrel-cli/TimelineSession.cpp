#include "tools/tandrel-cli/TimelineSession.h"

#include "core/database/LibraryScanner.h"

#include <stdexcept>

namespace tandrel::cli {

TimelineSession::TimelineSession(const std::filesystem::path &library,
                                 const std::string &timeline) {
    if (!std::filesystem::is_directory(library)) {
        throw std::runtime_error(library.string() + " is not a library folder");
    }
    library_ = LibraryScanner::scan(library);
    std::string candidates;
    int byName = 0;
    for (const FCPEvent &event : library_.events) {
        for (const FCPTimelineInfo &info : event.timelines) {
            if (info.id == timeline) {
                event_ = &event;
                timeline_ = &info;
                byName = 1;
                break;
            }
            if (info.name == timeline) {
                if (byName++ == 0) {
                    event_ = &event;
                    timeline_ = &info;
                }
                candidates += "\n  " + info.id;
            }
        }
        if (timeline_ && timeline_->id == timeline) {
            break;
        }
    }
    if (!timeline_) {
        throw std::runtime_error("no timeline \"" + timeline + "\" in " + library.string());
    }
    if (byName > 1) {
        throw std::runtime_error("several timelines are named \"" + timeline +
                                 "\"; name one by its id:" + candidates);
    }

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
