#pragma once

#include "core/resolver/ConnectedItemResolver.h"

#include <cstddef>
#include <vector>

namespace tandrel {

// The connected items of a walk by the stretch of timeline they cover, so that the items over
// one entry are found without looking at every item of the timeline: a large timeline's
// entries and connected clips both grow with its length. Holds pointers into the items,
// which must outlive it.
class ConnectedItemsByTime {
public:
    explicit ConnectedItemsByTime(const std::vector<ConnectedItemResolver::ConnectedItem> &items);

    // The items with start < `end` and `start` < their own end, in walk order.
    std::vector<const ConnectedItemResolver::ConnectedItem *> overlapping(double start,
                                                                          double end) const;

private:
    void collect(size_t node, size_t from, size_t to, size_t before, double start,
                 std::vector<size_t> &found) const;

    const std::vector<ConnectedItemResolver::ConnectedItem> &items_;
    // Items whose start and end are numbers (the others overlap nothing), by start.
    std::vector<size_t> byStart_;
    // A tree over `byStart_`: each node the latest end of its range.
    std::vector<double> latestEnd_;
};

} // namespace tandrel
