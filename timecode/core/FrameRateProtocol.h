#pragma once

#include "timecode/core/Fraction.h"
#include "timecode/core/MediaTime.h"

#include <algorithm>
#include <concepts>
#include <optional>
#include <ranges>
#include <string_view>
#include <vector>

namespace timecode {

// The interface shared by the timecode frame rates and the video frame rates: a closed,
// ordered set of cases, each with a display text, an exact rate and frame duration, and an
// optional second frame duration by which the same rate is also known.
template <typename R>
concept FrameRateProtocol = requires(const R &rate, std::string_view text) {
    { rate.stringValue() } -> std::convertible_to<std::string_view>;
    { R::fromStringValue(text) } -> std::same_as<std::optional<R>>;
    { rate.rate() } -> std::same_as<Fraction>;
    { rate.frameDuration() } -> std::same_as<Fraction>;
    { rate.alternateFrameDuration() } -> std::same_as<std::optional<Fraction>>;
    { R::allCases() } -> std::ranges::range;
    { rate == rate } -> std::convertible_to<bool>;
};

// An element's fraction matches a wanted one when both terms are the same, or when the two
// quotients are equal (60000/2002 matches 30000/1001, 24/1 matches 2400/100). The quotients are
// compared exactly, so values beyond double precision never match by accident.
inline bool frameRateValueMatches(const Fraction &element, const Fraction &wanted) {
    return element.isIdentical(wanted) || element == wanted;
}

// Position in the case list, 0 when not found.
template <FrameRateProtocol R> std::size_t frameRateSortIndex(const R &rate) {
    const auto &cases = R::allCases();
    const auto found = std::ranges::find(cases, rate);
    return found == std::ranges::end(cases)
               ? 0
               : static_cast<std::size_t>(std::ranges::distance(std::ranges::begin(cases), found));
}

// The rates in case order.
template <std::ranges::input_range Range>
requires FrameRateProtocol<std::ranges::range_value_t<Range>>
auto sorted(const Range &rates) {
    using R = std::ranges::range_value_t<Range>;
    std::vector<R> result(std::ranges::begin(rates), std::ranges::end(rates));
    std::ranges::stable_sort(result, {}, [](const R &rate) { return frameRateSortIndex(rate); });
    return result;
}

// The rates whose `rate` matches the value, in the collection's order.
template <std::ranges::input_range Range>
requires FrameRateProtocol<std::ranges::range_value_t<Range>>
auto filterRate(const Range &rates, const Fraction &rate) {
    std::vector<std::ranges::range_value_t<Range>> result;
    for (const auto &element : rates) {
        if (frameRateValueMatches(element.rate(), rate)) {
            result.push_back(element);
        }
    }
    return result;
}

// The rates whose frame duration, or alternate frame duration, matches the value.
template <std::ranges::input_range Range>
requires FrameRateProtocol<std::ranges::range_value_t<Range>>
auto filterFrameDuration(const Range &rates, const Fraction &frameDuration) {
    std::vector<std::ranges::range_value_t<Range>> result;
    for (const auto &element : rates) {
        const auto alternate = element.alternateFrameDuration();
        if (frameRateValueMatches(element.frameDuration(), frameDuration) ||
            (alternate && frameRateValueMatches(*alternate, frameDuration))) {
            result.push_back(element);
        }
    }
    return result;
}

} // namespace timecode
