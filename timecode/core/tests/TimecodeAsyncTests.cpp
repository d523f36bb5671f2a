#include "timecode/core/Timecode.h"

#include "timecode/core/tests/Printing.h"
#include "timecode/core/tests/TestTimecodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace timecode {
namespace {

using namespace timecode::test;

using Work = std::vector<std::function<void()>>;
// What a source answers for the timecode it was handed, strictly or under a rule.
using Answer = std::function<Timecode(const Timecode &, std::optional<Rule>)>;

// An asynchronous source that holds its work until the test runs it, so that the time between
// a call and its completion can be looked at.
template <typename Interface> class DeferredSource final : public Interface {
public:
    DeferredSource(Work &work, Answer answer) : work_(work), answer_(std::move(answer)) {}
    void set(Timecode timecode, Completion<Timecode> completion) const override {
        defer(std::move(timecode), std::nullopt, std::move(completion));
    }
    void set(Timecode timecode, Rule rule, Completion<Timecode> completion) const override {
        defer(std::move(timecode), rule, std::move(completion));
    }

private:
    void defer(Timecode timecode, std::optional<Rule> rule, Completion<Timecode> completion) const {
        work_.push_back([timecode, rule, completion, answer = answer_] {
            completion(AsyncResult<Timecode>::of([&] { return answer(timecode, rule); }));
        });
    }

    Work &work_;
    Answer answer_;
};

class TimecodeAsync : public testing::Test {
protected:
    // Yields the components at the timecode's properties, strictly or under the rule; it also
    // tries to change the frame rate, which a plain source may not.
    AsyncTimecodeSourceValue components(Components components) {
        return {std::make_shared<DeferredSource<AsyncTimecodeSource>>(
            work, [components](const Timecode &timecode, std::optional<Rule> rule) {
                const auto source = TimecodeSourceValue::components(components);
                Timecode result = rule ? timecode.setting(source, *rule) : timecode.setting(source);
                result.setFrameRate(R::fps60);
                return result;
            })};
    }
    // Yields a timecode of its own properties.
    AsyncRichTimecodeSourceValue rich(Timecode answer) {
        return {std::make_shared<DeferredSource<AsyncRichTimecodeSource>>(
            work, [answer](const Timecode &, std::optional<Rule>) { return answer; })};
    }
    void run() {
        Work pending;
        pending.swap(work);
        for (const auto &item : pending) {
            item();
        }
    }
    Completion<void> record() {
        return [this](AsyncResult<void> result) { results.push_back(result); };
    }

    Work work;
    std::vector<AsyncResult<void>> results;
};

TEST_F(TimecodeAsync, SettersInPlaceStoreTheResultWhenItArrives) {
    Timecode timecode = make({0, 1, 0, 0, 0, 0}, R::fps25);
    timecode.set(components({0, 2, 0, 0, 0, 0}), record());
    // Nothing is written before the completion.
    EXPECT_EQ(timecode.hours(), 1);
    EXPECT_TRUE(results.empty());
    run();
    ASSERT_EQ(results.size(), 1u);
    EXPECT_TRUE(results[0].hasValue());
    EXPECT_EQ(timecode.stringValue(), "02:00:00:00");
    EXPECT_EQ(timecode.frameRate(), R::fps25);

    // A failure reaches the completion and leaves the value as it was.
    timecode.set(components({0, 30, 0, 0, 0, 0}), record());
    run();
    EXPECT_THROW(results.back().value(), Error);
    EXPECT_EQ(timecode.stringValue(), "02:00:00:00");
    timecode.set(components({0, 30, 0, 0, 0, 0}), Rule::clamping, record());
    run();
    EXPECT_NO_THROW(results.back().value());
    EXPECT_EQ(timecode.stringValue(), "23:59:59:24");

    // A rich source's properties replace the value's.
    const Timecode at30d = make({0, 0, 1, 0, 2, 0}, R::fps30d);
    timecode.set(rich(at30d), Rule::wrapping, record());
    run();
    EXPECT_EQ(timecode.properties(), at30d.properties());
    EXPECT_EQ(timecode.components(), at30d.components());
}

TEST_F(TimecodeAsync, ArithmeticInPlace) {
    Timecode timecode = make({0, 1, 0, 0, 0, 0}, R::fps25);
    timecode.add(components({0, 0, 0, 1, 0, 0}), record());
    EXPECT_EQ(timecode.stringValue(), "01:00:00:00");
    run();
    EXPECT_EQ(timecode.stringValue(), "01:00:01:00");

    timecode.subtract(components({0, 2, 0, 0, 0, 0}), record());
    run();
    EXPECT_THROW(results.back().value(), Error);
    EXPECT_EQ(timecode.stringValue(), "01:00:01:00");
    timecode.subtract(components({0, 2, 0, 0, 0, 0}), Rule::wrapping, record());
    run();
    EXPECT_EQ(timecode.stringValue(), "23:00:01:00");

    // A rich operand at another rate is converted to the value's; the properties stay.
    timecode.add(rich(make({0, 0, 0, 2, 0, 0}, R::fps50)), Rule::wrapping, record());
    run();
    EXPECT_EQ(timecode.stringValue(), "23:00:03:00");
    EXPECT_EQ(timecode.frameRate(), R::fps25);
    timecode.subtract(rich(make({0, 0, 0, 3, 0, 0}, R::fps50)), record());
    run();
    EXPECT_EQ(timecode.stringValue(), "23:00:00:00");
    ASSERT_EQ(results.size(), 5u);
    EXPECT_TRUE(results.back().hasValue());
}

TEST_F(TimecodeAsync, InitialisersTakeTheProperties) {
    std::optional<AsyncResult<Timecode>> made;
    Timecode::fromAsync(components({0, 1, 0, 0, 0, 0}), R::fps29_97d, Base::quarterFrames,
                        Limit::max100Days, [&](AsyncResult<Timecode> result) { made = result; });
    Timecode::fromAsync(components({0, 30, 0, 0, 0, 0}), R::fps24, Base::max80SubFrames,
                        Limit::max24Hours, Rule::wrapping, [&](AsyncResult<Timecode> result) {
                            EXPECT_EQ(result.value().hours(), 6);
                        });
    run();
    ASSERT_TRUE(made);
    EXPECT_EQ(made->value().properties(),
              props(R::fps29_97d, Base::quarterFrames, Limit::max100Days));
    EXPECT_EQ(made->value().stringValue(), "01:00:00;00");
}

// The result arrives on the source's own thread: the value is written there, before the
// completion signals that it may be read again.
TEST_F(TimecodeAsync, CompletesOnTheSourcesThread) {
    Timecode timecode = make({}, R::fps25);
    auto done = std::make_shared<std::promise<void>>();
    timecode.set(components({0, 4, 0, 0, 0, 0}), [done](AsyncResult<void> result) {
        result.hasValue() ? done->set_value() : done->set_exception(result.error());
    });
    std::thread worker([this] { run(); });
    done->get_future().get();
    EXPECT_EQ(timecode.stringValue(), "04:00:00:00");
    worker.join();
}

} // namespace
} // namespace timecode
