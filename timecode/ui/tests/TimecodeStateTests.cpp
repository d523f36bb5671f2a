#include "timecode/ui/TimecodeState.h"

#include "timecode/ui/tests/UiTestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace timecode {
namespace {

using namespace timecode::test;

TEST(TimecodeState, AnnouncesEachDifferingStoreAfterIt) {
    TimecodeState state(make({0, 1, 0, 0, 0, 0}, R::fps24));
    QSignalSpy changed(&state, &TimecodeState::timecodeChanged);
    const Binding<Timecode> binding = state.projectedValue();

    // Identical in components and properties: silent, also through the binding.
    binding.set(make({0, 1, 0, 0, 0, 0}, R::fps24));
    state.setWrappedValue(make({0, 1, 0, 0, 0, 0}, R::fps24));
    runQueued();
    EXPECT_EQ(changed.count(), 0);

    // The same components at another rate: stored at once, announced once, later.
    binding.set(make({0, 1, 0, 0, 0, 0}, R::fps25));
    EXPECT_EQ(state.wrappedValue().frameRate(), R::fps25);
    EXPECT_EQ(changed.count(), 0);
    runQueued();
    EXPECT_EQ(changed.count(), 1);

    // Equal in time but written otherwise is a change; every store has its own signal.
    state.setWrappedValue(make({0, 0, 59, 59, 25, 0}, R::fps25));
    state.modifyWrappedValue([](Timecode &t) { t.setFrames(0); });
    runQueued();
    EXPECT_EQ(changed.count(), 3);
    EXPECT_EQ(binding.get().components(), (Timecode::Components{0, 0, 59, 59, 0, 0}));
}

TEST(TimecodeState, BindingObserversHearTheSignal) {
    auto state = std::make_unique<TimecodeState>(make({}, R::fps24));
    const Binding<Timecode> binding = state->projectedValue();
    int heard = 0;
    Subscription subscription = binding.observe([&heard] { ++heard; });
    binding.modify([](Timecode &t) { t.setHours(2); });
    runQueued();
    EXPECT_EQ(heard, 1);
    subscription.cancel();
    binding.set(make({0, 3, 0, 0, 0, 0}));
    runQueued();
    EXPECT_EQ(heard, 1);

    // The binding holds the storage, not a copy: it outlives the object.
    state.reset();
    binding.set(make({0, 4, 0, 0, 0, 0}));
    EXPECT_EQ(binding.get().hours(), 4);
    EXPECT_FALSE(binding.observe([] {}));
}

} // namespace
} // namespace timecode
