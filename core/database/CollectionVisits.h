#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_set>

namespace tandrel {

// The collections one walk over an event's collection tree has entered. In the editor's
// libraries every collection hangs below one parent, so a walk meets each collection once and
// the set changes nothing; a crafted database that lists one child many times, or under many
// parents, would otherwise make a depth-limited walk take time exponential in its depth.
class CollectionVisits {
public:
    // True the first time a collection is entered, false ever after.
    bool enter(int64_t pk) {
        // A walk below one clip enters a handful of collections: they are kept in place, and
        // only a walk that enters more moves them to a set.
        if (spilled_.empty()) {
            const auto end = few_.begin() + static_cast<std::ptrdiff_t>(count_);
            if (std::find(few_.begin(), end, pk) != end) {
                return false;
            }
            if (count_ < few_.size()) {
                few_[count_++] = pk;
                return true;
            }
            spilled_.insert(few_.begin(), few_.end());
        }
        return spilled_.insert(pk).second;
    }

private:
    std::array<int64_t, 24> few_{};
    size_t count_ = 0;
    std::unordered_set<int64_t> spilled_;
};

} // namespace tandrel
