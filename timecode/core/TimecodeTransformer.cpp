#include "timecode/core/TimecodeTransformer.h"

namespace timecode {

const TimecodeTransformer::Transform::Function *
TimecodeTransformer::Transform::customFunction() const {
    const auto *function = std::get_if<std::shared_ptr<const Function>>(&storage_);
    return function ? function->get() : nullptr;
}

Timecode TimecodeTransformer::Transform::apply(const Timecode &timecode) const {
    if (const TimecodeInterval *interval = offsetInterval()) {
        return interval->timecode(timecode);
    }
    if (const Function *function = customFunction()) {
        return (*function)(timecode);
    }
    return timecode;
}

Timecode TimecodeTransformer::transform(const Timecode &timecode) const {
    if (!enabled) {
        return timecode;
    }
    Timecode result = timecode;
    for (const Transform &step : transforms) {
        result = step.apply(result);
    }
    return result;
}

Timecode Timecode::transformed(const TimecodeTransformer &transformer) const {
    return transformer.transform(*this);
}

void Timecode::transform(const TimecodeTransformer &transformer) {
    *this = transformer.transform(*this);
}

} // namespace timecode
