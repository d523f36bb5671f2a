#pragma once

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
    bool enter(int64_t pk) { return entered_.insert(pk).second; }

private:
    std::unordered_set<int64_t> entered_;
};

} // namespace tandrel
