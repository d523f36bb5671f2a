#pragma once

#include "core/database/RoleResolver.h"

#include <memory>
#include <string>
#include <vector>

namespace tandrel {

class QueryResolver;

// Where the role picker reads the roles of the watched libraries: the top-level roles by name,
// and the named sub-roles of one of them by name.
class RoleSource {
public:
    using RoleInfo = RoleResolver::RoleInfo;

    virtual ~RoleSource() = default;
    virtual std::vector<RoleInfo> topLevelRoles() const = 0;
    virtual std::vector<RoleInfo> subRoles(const std::string &ofTopLevel) const = 0;
};

// The role definitions of the host's query resolver. A reload of the libraries replaces them
// and a validation reads them on another thread, so each read holds the resolver's lock for
// that read only and hands back a copy.
class QueryResolverRoles final : public RoleSource {
public:
    explicit QueryResolverRoles(std::shared_ptr<const QueryResolver> resolver)
        : resolver_(std::move(resolver)) {}

    std::vector<RoleInfo> topLevelRoles() const override;
    std::vector<RoleInfo> subRoles(const std::string &ofTopLevel) const override;

private:
    std::shared_ptr<const QueryResolver> resolver_;
};

// One row group of the role picker: a top-level role and its sub-roles (none: a plain row).
struct RoleGroup {
    RoleResolver::RoleInfo role;
    std::vector<RoleResolver::RoleInfo> subRoles;

    friend bool operator==(const RoleGroup &, const RoleGroup &) = default;
};

// Roles given as a table, in its order: for the screens and tests that show the picker
// without libraries.
class RoleTable final : public RoleSource {
public:
    explicit RoleTable(std::vector<RoleGroup> groups) : groups_(std::move(groups)) {}

    std::vector<RoleInfo> topLevelRoles() const override;
    std::vector<RoleInfo> subRoles(const std::string &ofTopLevel) const override;

private:
    std::vector<RoleGroup> groups_;
};

// The role picker's list, read afresh: the top-level roles in the source's order, each with
// its sub-roles. Every read is over before the rows are built from the copy.
std::vector<RoleGroup> readRoleGroups(const RoleSource &source);

} // namespace tandrel
