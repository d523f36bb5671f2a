#pragma once

#include "core/support/Json.h"

#include <cstdint>

namespace tandrel {

// A time as a fraction of a second: value ÷ timescale seconds.
struct RationalTime {
    // The snapshot's times are written in 1/240000 s, a multiple of every frame duration.
    static constexpr int32_t snapshotTimescale = 240000;

    int64_t value = 0;
    int32_t timescale = 0;

    // Not finite for a zero timescale, which only a foreign document can hold.
    double seconds() const { return static_cast<double>(value) / timescale; }

    friend bool operator==(const RationalTime &, const RationalTime &) = default;

    // The JSON members in written order: `visit(key, member)` for each.
    template <typename Self, typename Visit> static void forEachMember(Self &self, Visit &&visit) {
        visit("value", self.value);
        visit("timescale", self.timescale);
    }
};

void to_json(Json &json, const RationalTime &time);
void from_json(const Json &json, RationalTime &time);

} // namespace tandrel
