#include "core/database/CollectionLookups.h"

#include <exception>

namespace tandrel {

std::optional<int64_t> CollectionLookups::resolveActivePick(int64_t ofStackPK) noexcept {
    const auto variant = childPK(ofStackPK, "activeVariant");
    if (!variant) {
        return std::nullopt;
    }
    try {
        const auto picks = fetchChildPKs(*variant);
        return picks.empty() ? std::nullopt : std::optional<int64_t>(picks.front());
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

} // namespace tandrel
