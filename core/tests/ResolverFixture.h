#pragma once

// A generated library made ready for timeline resolution as the host does it: assets, roles
// and the multicam index loaded, and a resolver over one event database.

#include "core/database/RoleResolver.h"
#include "core/resolver/TimelineResolver.h"
#include "core/tests/ClipFixture.h"

#include <memory>
#include <stdexcept>
#include <string>

namespace tandrel::testing {

class ResolvedLibrary {
public:
    explicit ResolvedLibrary(const sample::LibraryDescription &description,
                             const std::string &eventFolder = "Day 1")
        : library(description), eventFolder_(eventFolder) {
        roles = std::make_shared<RoleResolver>();
        roles->loadAllRoles(library.bundle());
        auto multicams = std::make_shared<MulticamMediaIndex>();
        multicams->scan(library.bundle());
        db = std::make_shared<FCPDatabaseConnection>(library.databasePath(eventFolder));
        resolver = std::make_unique<TimelineResolver>(
            db, std::make_shared<const AssetStore>(library.assets), roles, std::move(multicams));
    }

    int64_t timeline(const std::string &name) {
        for (const auto &info : LibraryScanner::discoverTimelines(*db)) {
            if (info.name == name) {
                return info.collectionPK;
            }
        }
        throw std::invalid_argument("no timeline " + name);
    }

    const EditDecisionList &edl(const std::string &name) {
        lists_.push_back(resolver->getEDL(timeline(name)));
        return *lists_.back();
    }

    GeneratedLibrary library;
    std::shared_ptr<RoleResolver> roles;
    std::shared_ptr<FCPDatabaseConnection> db;
    std::unique_ptr<TimelineResolver> resolver;

private:
    std::string eventFolder_;
    std::vector<std::shared_ptr<const EditDecisionList>> lists_;
};

} // namespace tandrel::testing
