#pragma once

#include "timecode/core/ClosedRange.h"
#include "timecode/core/Coding.h"
#include "timecode/core/TimecodeComponent.h"
#include "timecode/core/TimecodeComponentRanges.h"
#include "timecode/core/TimecodeProperties.h"

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace timecode {

// A component with its value.
struct TimecodeComponentValue {
    TimecodeComponent component;
    int64_t value;
    friend bool operator==(const TimecodeComponentValue &,
                           const TimecodeComponentValue &) = default;
};

// The six components of a timecode. Nothing is enforced: any value, negative or beyond its
// range, can be stored; validity is always judged against a set of properties. Known in a
// timecode as `Timecode::Components`; `{d, h, m, s, f, sf}` builds one.
struct TimecodeComponents {
    using Dictionary = std::map<TimecodeComponent, int64_t>;
    using Pair = TimecodeComponentValue;

    int64_t days = 0;
    int64_t hours = 0;
    int64_t minutes = 0;
    int64_t seconds = 0;
    int64_t frames = 0;
    int64_t subFrames = 0;

    static constexpr TimecodeComponents zero() { return {}; }

    // Identity is the record itself.
    constexpr TimecodeComponents id() const { return *this; }

    // A valid record for the properties, each value drawn uniformly in component order.
    static TimecodeComponents random(const TimecodeProperties &properties);
    // Each value drawn uniformly from its range, valid or not.
    static TimecodeComponents random(const TimecodeComponentRanges &ranges);

    int64_t value(TimecodeComponent component) const;
    int64_t &value(TimecodeComponent component);

    // All six components start at 0 and take the values the map holds.
    static TimecodeComponents fromDictionary(const Dictionary &dictionary);
    Dictionary dictionary() const;
    // Overwrites the components the map holds and keeps the others.
    void set(const Dictionary &from);
    void setDictionary(const Dictionary &dictionary) { set(dictionary); }

    // All six start at 0, then the pairs apply in order (a later pair wins).
    static TimecodeComponents fromArray(const std::vector<Pair> &pairs);
    std::array<Pair, 6> array() const;
    // The pairs apply in order onto the current values.
    void setArray(const std::vector<Pair> &pairs);

    // Iteration yields the pairs of array() in order.
    class Iterator {
    public:
        using value_type = Pair;
        using difference_type = std::ptrdiff_t;
        Iterator() = default;
        Iterator(const TimecodeComponents *components, int index)
            : components_(components), index_(index) {}
        Pair operator*() const;
        Iterator &operator++() {
            ++index_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++index_;
            return before;
        }
        friend bool operator==(const Iterator &, const Iterator &) = default;

    private:
        const TimecodeComponents *components_ = nullptr;
        int index_ = 0;
    };
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, 6); }

    // The closed range allowed for one component under the properties. The lowest frame at a
    // drop rate depends on this record's minutes and seconds.
    ClosedRange<int64_t> validRange(TimecodeComponent component,
                                    const TimecodeProperties &properties) const;
    ClosedRange<int64_t> validRange(TimecodeComponent component, TimecodeFrameRate rate,
                                    TimecodeSubFramesBase base, TimecodeUpperLimit limit) const;

    // The components outside their valid ranges; empty when the record is valid.
    TimecodeComponent::Set invalidComponents(const TimecodeProperties &properties) const;
    TimecodeComponent::Set invalidComponents(TimecodeFrameRate rate, TimecodeSubFramesBase base,
                                             TimecodeUpperLimit limit) const;

    // Every value's decimal digit count fits its field (ranges are not tested).
    bool isWithinValidDigitCounts(TimecodeFrameRate rate, TimecodeSubFramesBase base) const;

    friend bool operator==(const TimecodeComponents &, const TimecodeComponents &) = default;
};

// The lowest valid frame: the dropped numbers at the start of a minute that is not a multiple
// of ten at a drop rate, else 0. Negative minutes count by the integer remainder (−10 is a
// multiple of ten, −1 is not).
int64_t lowestValidFrame(TimecodeFrameRate rate, int64_t minutes, int64_t seconds);

// Keys "days", "hours", "minutes", "seconds", "frames", "subFrames", all required integers.
void to_json(Json &json, const TimecodeComponents &components);
void from_json(const Json &json, TimecodeComponents &components);

} // namespace timecode

template <> struct std::hash<timecode::TimecodeComponents> {
    std::size_t operator()(const timecode::TimecodeComponents &components) const noexcept {
        std::size_t seed = 0;
        for (const auto &pair : components) {
            seed ^= std::hash<int64_t>{}(pair.value) + 0x9e3779b97f4a7c15ULL + (seed << 6) +
                    (seed >> 2);
        }
        return seed;
    }
};
