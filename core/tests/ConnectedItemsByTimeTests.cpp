#include "core/resolver/ConnectedItemsByTime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace tandrel {
namespace {

using Item = ConnectedItemResolver::ConnectedItem;

// Every item whose stretch overlaps the window, in walk order: what a look at each item finds.
std::vector<const Item *> everyOverlapping(const std::vector<Item> &items, double start,
                                           double end) {
    std::vector<const Item *> found;
    for (const Item &item : items) {
        if (item.timelineStart < end && start < item.timelineStart + item.duration) {
            found.push_back(&item);
        }
    }
    return found;
}

TEST(ConnectedItemsByTime, FindsWhatALookAtEveryItemFinds) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    // Short clips in walk order, long beds under them, items that start together, empty and
    // backwards ones, and times that are no numbers.
    std::vector<Item> items;
    std::mt19937 random(15);
    std::uniform_real_distribution<double> at(0, 500);
    std::uniform_real_distribution<double> length(0, 20);
    for (int i = 0; i < 300; ++i) {
        items.push_back({.timelineStart = i % 7 == 0 ? std::floor(at(random)) : at(random),
                         .duration = i % 11 == 0 ? 0 : length(random)});
    }
    for (const auto &[start, duration] : std::vector<std::pair<double, double>>{{0, 500},
                                                                                {100, 300},
                                                                                {250, 250},
                                                                                {250, -5},
                                                                                {-inf, 10},
                                                                                {40, inf},
                                                                                {nan, 5},
                                                                                {30, nan},
                                                                                {inf, -inf},
                                                                                {-inf, inf}}) {
        items.push_back({.timelineStart = start, .duration = duration});
    }
    const ConnectedItemsByTime index(items);
    std::vector<std::pair<double, double>> windows{{0, 0},     {250, 250}, {-inf, inf},
                                                   {nan, 10},  {10, nan},  {499.5, 600},
                                                   {-10, 0.5}, {600, 700}};
    for (int i = 0; i < 200; ++i) {
        const double start = at(random);
        windows.emplace_back(start, start + length(random));
    }
    for (const auto &[start, end] : windows) {
        EXPECT_EQ(index.overlapping(start, end), everyOverlapping(items, start, end))
            << "[" << start << ", " << end << ")";
    }
    EXPECT_TRUE(ConnectedItemsByTime({}).overlapping(-inf, inf).empty());
}

} // namespace
} // namespace tandrel
