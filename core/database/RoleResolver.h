#pragma once

#include "core/database/FCPDatabaseConnection.h"
#include "core/database/PlistValue.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tandrel {

// Role names by role UID for all events of the watched libraries, read from the role-set
// archive inside each event's project blob; and the top-level roles and their sub-roles for
// the role picker. Not thread-safe.
class RoleResolver {
public:
    struct RoleInfo {
        std::string uuid;
        std::string name;
        friend bool operator==(const RoleInfo &, const RoleInfo &) = default;
    };

    // Nesting of references beyond which the role archive walker resolves nothing.
    static constexpr int maxArchiveDepth = 11;

    void clear();
    // Adds the roles of every event database directly inside the bundle. Fails with
    // std::filesystem::filesystem_error when the bundle folder cannot be listed.
    void loadAllRoles(const std::filesystem::path &libraryURL);
    // Fails with `queryFailed` when the project collections cannot be queried.
    void loadRoles(FCPDatabaseConnection &db);
    // Adds the role definitions found in one role-set archive's object list.
    void extractRoles(const std::vector<PlistValue> &objects);

    std::optional<std::string> resolve(std::string_view roleUID) const;
    std::optional<std::string> topLevelUID(std::string_view roleUID) const;
    std::vector<RoleInfo> topLevelRoles() const;
    std::vector<RoleInfo> subRoles(std::string_view ofTopLevel) const;

    // Whether a definition exists for the UID, and the UID of the definition listing it as a
    // sub-role.
    bool hasDefinition(std::string_view roleUID) const;
    std::optional<std::string> parentOf(std::string_view roleUID) const;

private:
    struct RoleDef {
        std::string uuid;
        std::optional<std::string> rawName;
        std::vector<std::string> subRoleUIDs;
    };

    void rebuildParents();

    std::unordered_map<std::string, RoleDef> defs_;
    std::unordered_map<std::string, std::string> parentOf_;
};

} // namespace tandrel
