#include "timecode/ui/model/Binding.h"
#include "timecode/ui/model/TimecodeFormatBinding.h"

#include "timecode/core/TimecodeComponents.h"

#include <gtest/gtest.h>

namespace timecode {
namespace {

using Option = TimecodeStringFormatOption;

TEST(Binding, VariablesTellEveryStoreWhileSubscribed) {
    const Binding<int> value = Binding<int>::variable(1);
    const Binding<int> copy = value;
    int heard = 0;
    Subscription subscription = value.observe([&heard] { ++heard; });
    copy.set(2);
    copy.set(2);
    EXPECT_EQ(value.get(), 2);
    EXPECT_EQ(heard, 2);
    subscription.cancel();
    value.set(3);
    EXPECT_EQ(heard, 2);

    const Binding<int> fixed = Binding<int>::constant(7);
    fixed.set(8);
    EXPECT_EQ(fixed.get(), 7);
    EXPECT_FALSE(fixed.isObservable());
    EXPECT_FALSE(fixed.observe([] {}));
}

// An observer may cancel another one, or itself, while they are told.
TEST(Binding, ObserversMayCancelWhileTold) {
    const Binding<int> value = Binding<int>::variable(0);
    int first = 0;
    int second = 0;
    Subscription later;
    Subscription earlier = value.observe([&] {
        ++first;
        later.cancel();
    });
    later = value.observe([&] { ++second; });
    value.set(1);
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
}

TEST(Binding, ProjectionsWriteTheWholeBack) {
    const Binding<TimecodeComponents> components =
        Binding<TimecodeComponents>::variable({0, 1, 2, 3, 4, 5});
    int heard = 0;
    const Subscription subscription = components.observe([&heard] { ++heard; });
    const Binding<int64_t> frames = components.projecting<int64_t>(
        [](const TimecodeComponents &c) { return c.frames; },
        [](TimecodeComponents &c, const int64_t &value) { c.frames = value; });
    frames.set(20);
    EXPECT_EQ(components.get(), (TimecodeComponents{0, 1, 2, 3, 20, 5}));
    EXPECT_EQ(heard, 1);
    // Changes are heard through the projection too.
    int heardByPart = 0;
    const Subscription partSubscription = frames.observe([&heardByPart] { ++heardByPart; });
    components.modify([](TimecodeComponents &c) { c.hours = 9; });
    EXPECT_EQ(heardByPart, 1);
    EXPECT_EQ(frames.get(), 20);
}

TEST(Binding, FormatOptions) {
    const Binding<TimecodeStringFormat> format =
        Binding<TimecodeStringFormat>::variable({Option::showSubFrames});
    int writes = 0;
    const Subscription subscription = format.observe([&writes] { ++writes; });
    const Binding<bool> days = option(format, Option::alwaysShowDays);
    const Binding<bool> subFrames = option(format, Option::showSubFrames);
    EXPECT_FALSE(days.get());
    EXPECT_TRUE(subFrames.get());

    days.set(true);
    EXPECT_EQ(format.get(), (TimecodeStringFormat{Option::showSubFrames, Option::alwaysShowDays}));
    subFrames.set(false);
    EXPECT_EQ(format.get(), TimecodeStringFormat{Option::alwaysShowDays});
    // Removing an option the set lacks leaves it as it was, and still writes it back.
    option(format, Option::filenameCompatible).set(false);
    EXPECT_EQ(format.get(), TimecodeStringFormat{Option::alwaysShowDays});
    EXPECT_EQ(writes, 3);
}

} // namespace
} // namespace timecode
