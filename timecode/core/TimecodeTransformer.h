#pragma once

#include "timecode/core/Timecode.h"
#include "timecode/core/TimecodeInterval.h"

#include <functional>
#include <memory>
#include <variant>
#include <vector>

namespace timecode {

// A switchable list of edits applied to a timecode one after another: signed offsets and
// functions of the caller's. Copies share the functions.
class TimecodeTransformer {
public:
    class Transform {
    public:
        using Function = std::function<Timecode(const Timecode &)>;

        // Moves the timecode by the interval, wrapping at its upper limit; skipped when the
        // interval cannot be brought to the timecode's rate.
        static Transform offset(const TimecodeInterval &by) { return Transform(by); }
        // Replaces the timecode, properties included, by the function's answer. The function
        // runs on the thread that transforms.
        static Transform custom(Function function) {
            return Transform(std::make_shared<const Function>(std::move(function)));
        }
        static Transform none() { return Transform(std::monostate{}); }

        const TimecodeInterval *offsetInterval() const {
            return std::get_if<TimecodeInterval>(&storage_);
        }
        const Function *customFunction() const;
        bool isNone() const { return std::holds_alternative<std::monostate>(storage_); }

        Timecode apply(const Timecode &timecode) const;

    private:
        using Storage =
            std::variant<TimecodeInterval, std::shared_ptr<const Function>, std::monostate>;
        explicit Transform(Storage storage) : storage_(std::move(storage)) {}

        Storage storage_;
    };

    explicit TimecodeTransformer(Transform transform) : transforms{std::move(transform)} {}
    explicit TimecodeTransformer(std::vector<Transform> transforms)
        : transforms(std::move(transforms)) {}

    std::vector<Transform> transforms;
    // When false every timecode passes unchanged.
    bool enabled = true;

    // The transforms in order, each on the result of the one before.
    Timecode transform(const Timecode &timecode) const;
};

} // namespace timecode
