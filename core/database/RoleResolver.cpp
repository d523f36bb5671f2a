#include "core/database/RoleResolver.h"

#include "core/database/BlobDecoder.h"
#include "core/database/LibraryScanner.h"
#include "core/database/PropertyListReader.h"
#include "core/support/UnicodeText.h"

#include <algorithm>
#include <system_error>

namespace tandrel {

namespace {

// Resolves the objects of one role-set archive into plain values, following references at
// most `maxArchiveDepth` levels deep. Each index is resolved once; a result of nothing is
// remembered as the null marker, which later look-ups of that index return.
class ArchiveWalker {
public:
    explicit ArchiveWalker(const std::vector<PlistValue> &objects) : objects_(objects) {}

    std::optional<PlistValue> resolve(int64_t index, int depth) {
        if (depth > RoleResolver::maxArchiveDepth || index < 0 ||
            static_cast<uint64_t>(index) >= objects_.size()) {
            return std::nullopt;
        }
        const auto i = static_cast<size_t>(index);
        if (auto it = memo_.find(i); it != memo_.end()) {
            return it->second;
        }
        auto result = build(objects_[i], depth);
        memo_.insert_or_assign(i, result.value_or(PlistValue()));
        return result;
    }

private:
    // A reference resolved one level deeper; other values stay.
    std::optional<PlistValue> follow(const PlistValue &value, int depth) {
        if (auto index = BlobDecoder::referenceIndex(value)) {
            return resolve(*index, depth + 1);
        }
        return value;
    }

    std::optional<PlistValue> build(const PlistValue &object, int depth) {
        const PlistValue::Dictionary *dict = object.asDictionary();
        if (!dict) {
            return object;
        }
        if (const PlistValue *string = object.find("NS.string")) {
            auto text = follow(*string, depth);
            return text && text->asString() ? text : std::nullopt;
        }
        const PlistValue *keys = object.find("NS.keys");
        const PlistValue *values = object.find("NS.objects");
        const bool keyList = keys && keys->asArray();
        const bool valueList = values && values->asArray();
        if (valueList && !keys) {
            PlistValue::Array items;
            for (const PlistValue &item : *values->asArray()) {
                items.push_back(follow(item, depth).value_or(PlistValue()));
            }
            return PlistValue::array(std::move(items));
        }
        PlistValue::Dictionary result;
        if (keyList && valueList) {
            const auto &k = *keys->asArray();
            const auto &v = *values->asArray();
            for (size_t n = 0; n < std::min(k.size(), v.size()); ++n) {
                auto key = follow(k[n], depth);
                if (!key || !key->asString()) {
                    continue;
                }
                if (auto value = follow(v[n], depth)) {
                    result.insert_or_assign(*key->asString(), std::move(*value));
                } else {
                    result.erase(*key->asString());
                }
            }
            return PlistValue::dictionary(std::move(result));
        }
        // Any other archived object: its references resolved, unresolvable ones removed.
        for (const auto &[key, value] : *dict) {
            if (auto resolved = follow(value, depth)) {
                result.insert_or_assign(key, std::move(*resolved));
            }
        }
        return PlistValue::dictionary(std::move(result));
    }

    const std::vector<PlistValue> &objects_;
    std::unordered_map<size_t, PlistValue> memo_;
};

void sortByName(std::vector<RoleResolver::RoleInfo> &roles) {
    // Roles with equal names keep a fixed order by UID, so the picker does not reshuffle.
    std::sort(roles.begin(), roles.end(), [](const auto &a, const auto &b) {
        if (plainTextLess(a.name, b.name)) {
            return true;
        }
        return !plainTextLess(b.name, a.name) && a.uuid < b.uuid;
    });
}

} // namespace

void RoleResolver::clear() {
    defs_.clear();
    parentOf_.clear();
}

void RoleResolver::loadAllRoles(const std::filesystem::path &libraryURL) {
    for (const auto &entry : LibraryScanner::visibleEntries(libraryURL)) {
        const auto database = entry.path() / LibraryScanner::eventDatabaseName;
        std::error_code error;
        if (!std::filesystem::exists(database, error)) {
            continue;
        }
        try {
            FCPDatabaseConnection db(database.string());
            loadRoles(db);
        } catch (const std::exception &) {
            continue;
        }
    }
}

void RoleResolver::loadRoles(FCPDatabaseConnection &db) {
    const auto projects = db.fetchCollections("FFMediaEventProject");
    if (projects.empty() || !projects.front().blob) {
        return;
    }
    std::vector<PlistValue> objects;
    try {
        const auto blob = BlobDecoder::decode(*projects.front().blob);
        const Bytes *roleSet = blob.data("roleSetData");
        if (!roleSet) {
            return;
        }
        const PlistValue archive = PropertyListReader::read(*roleSet);
        const PlistValue *list = archive.find("$objects");
        if (!list || !list->asArray()) {
            return;
        }
        objects = *list->asArray();
    } catch (const std::exception &) {
        return;
    }
    extractRoles(objects);
}

void RoleResolver::extractRoles(const std::vector<PlistValue> &objects) {
    ArchiveWalker walker(objects);
    for (size_t i = 0; i < objects.size(); ++i) {
        auto resolved = walker.resolve(static_cast<int64_t>(i), 0);
        const PlistValue::Dictionary *dict = resolved ? resolved->asDictionary() : nullptr;
        if (!dict || dict->empty()) {
            continue;
        }
        const PlistValue *uuid = resolved->find("uuid");
        const PlistValue *name = resolved->find("name");
        const PlistValue *subRoles = resolved->find("subRoles");
        if (!uuid || !uuid->asString() || (!subRoles && !name)) {
            continue;
        }
        RoleDef def{*uuid->asString(), std::nullopt, {}};
        if (name && name->asString() && *name->asString() != "$null") {
            def.rawName = *name->asString();
        }
        if (const PlistValue::Array *list = subRoles ? subRoles->asArray() : nullptr) {
            for (const PlistValue &element : *list) {
                if (const std::string *text = element.asString()) {
                    def.subRoleUIDs.push_back(*text);
                } else if (const PlistValue *sub = element.find("uuid"); sub && sub->asString()) {
                    def.subRoleUIDs.push_back(*sub->asString());
                }
            }
        }
        defs_.insert_or_assign(def.uuid, std::move(def));
    }
    rebuildParents();
}

void RoleResolver::rebuildParents() {
    for (const auto &[uid, def] : defs_) {
        for (const auto &sub : def.subRoleUIDs) {
            if (sub != def.uuid) {
                parentOf_.insert_or_assign(sub, def.uuid);
            }
        }
    }
}

std::optional<std::string> RoleResolver::resolve(std::string_view roleUID) const {
    const std::string key(roleUID);
    if (auto it = defs_.find(key); it != defs_.end() && it->second.rawName) {
        return it->second.rawName;
    }
    if (auto parent = parentOf_.find(key); parent != parentOf_.end()) {
        if (auto it = defs_.find(parent->second); it != defs_.end()) {
            return it->second.rawName;
        }
    }
    return std::nullopt;
}

std::optional<std::string> RoleResolver::topLevelUID(std::string_view roleUID) const {
    if (auto parent = parentOf(roleUID)) {
        return parent;
    }
    if (hasDefinition(roleUID)) {
        return std::string(roleUID);
    }
    return std::nullopt;
}

bool RoleResolver::hasDefinition(std::string_view roleUID) const {
    return defs_.count(std::string(roleUID)) > 0;
}

std::optional<std::string> RoleResolver::parentOf(std::string_view roleUID) const {
    auto it = parentOf_.find(std::string(roleUID));
    return it == parentOf_.end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::vector<RoleResolver::RoleInfo> RoleResolver::topLevelRoles() const {
    std::vector<RoleInfo> roles;
    for (const auto &[uid, def] : defs_) {
        if (def.rawName && !parentOf_.count(uid)) {
            roles.push_back({uid, *def.rawName});
        }
    }
    sortByName(roles);
    return roles;
}

std::vector<RoleResolver::RoleInfo> RoleResolver::subRoles(std::string_view ofTopLevel) const {
    auto it = defs_.find(std::string(ofTopLevel));
    if (it == defs_.end()) {
        return {};
    }
    std::vector<RoleInfo> roles;
    for (const auto &sub : it->second.subRoleUIDs) {
        if (sub == it->second.uuid) {
            continue;
        }
        if (auto def = defs_.find(sub); def != defs_.end() && def->second.rawName) {
            roles.push_back({sub, *def->second.rawName});
        }
    }
    sortByName(roles);
    return roles;
}

} // namespace tandrel
