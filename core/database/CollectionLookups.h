#pragma once

#include "core/support/Bytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tandrel {

// The per-item lookups of an event database that every reader uses, answered by the
// connection's statements or, alike, by a read model of the database. Failing lookups fail
// with `FCPDatabaseError`'s `queryFailed`; `childPK`, `pkForIdentifier` and
// `resolveActivePick` turn every failure into an absent result.
class CollectionLookups {
public:
    struct CollectionInfo {
        std::optional<std::string> type;
        std::optional<std::string> identifier;
        std::optional<std::string> name;
    };

    virtual ~CollectionLookups() = default;

    virtual std::optional<Bytes> fetchBlob(int64_t forCollectionPK) = 0;
    virtual std::vector<int64_t> fetchChildPKs(int64_t ofParent) = 0;
    virtual CollectionInfo fetchCollectionInfo(int64_t pk) = 0;
    virtual std::optional<int64_t> childPK(int64_t ofParent, std::string_view named) noexcept = 0;
    virtual std::optional<int64_t> pkForIdentifier(std::string_view identifier) noexcept = 0;
    // The first pick of an audition's "activeVariant" slot.
    std::optional<int64_t> resolveActivePick(int64_t ofStackPK) noexcept;

protected:
    CollectionLookups() = default;
    CollectionLookups(const CollectionLookups &) = default;
    CollectionLookups &operator=(const CollectionLookups &) = default;
};

} // namespace tandrel
