#include "host/views/layout/RolePickerModel.h"

#include "host/query/QueryResolver.h"

#include <mutex>

namespace tandrel {

std::vector<RoleSource::RoleInfo> QueryResolverRoles::topLevelRoles() const {
    const std::lock_guard guard(resolver_->lock());
    return resolver_->roleResolver().topLevelRoles();
}

std::vector<RoleSource::RoleInfo>
QueryResolverRoles::subRoles(const std::string &ofTopLevel) const {
    const std::lock_guard guard(resolver_->lock());
    return resolver_->roleResolver().subRoles(ofTopLevel);
}

std::vector<RoleSource::RoleInfo> RoleTable::topLevelRoles() const {
    std::vector<RoleInfo> roles;
    for (const RoleGroup &group : groups_) {
        roles.push_back(group.role);
    }
    return roles;
}

std::vector<RoleSource::RoleInfo> RoleTable::subRoles(const std::string &ofTopLevel) const {
    for (const RoleGroup &group : groups_) {
        if (group.role.uuid == ofTopLevel) {
            return group.subRoles;
        }
    }
    return {};
}

std::vector<RoleGroup> readRoleGroups(const RoleSource &source) {
    std::vector<RoleGroup> groups;
    for (RoleResolver::RoleInfo &role : source.topLevelRoles()) {
        std::vector<RoleResolver::RoleInfo> subRoles = source.subRoles(role.uuid);
        groups.push_back({std::move(role), std::move(subRoles)});
    }
    return groups;
}

} // namespace tandrel
