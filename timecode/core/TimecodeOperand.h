#pragma once

#include "timecode/core/TimecodeComponents.h"
#include "timecode/core/TimecodeProperties.h"
#include "timecode/core/TimecodeSourceValue.h"

#include <functional>
#include <optional>
#include <variant>

namespace timecode {

class Timecode;

// What timecode addition and subtraction take: components as they are, or a value that stands
// for a timecode (a timecode, or any source that is not asynchronous). Converts implicitly from
// each, so `a.adding(b)` reads for every kind.
class TimecodeOperand {
public:
    TimecodeOperand(const TimecodeComponents &components) : components_(components) {}
    TimecodeOperand(const Timecode &timecode);
    // A plain source sets a timecode of the caller's properties strictly.
    TimecodeOperand(const TimecodeSourceValue &source);
    TimecodeOperand(const FormattedTimecodeSourceValue &source);
    TimecodeOperand(const GuaranteedTimecodeSourceValue &source);
    // A rich source builds its timecode with its own properties.
    TimecodeOperand(const RichTimecodeSourceValue &source);
    TimecodeOperand(const GuaranteedRichTimecodeSourceValue &source);

    // The components, or the timecode made for the caller's properties; throws what the source
    // throws.
    std::variant<TimecodeComponents, Timecode>
    resolve(const TimecodeProperties &callerProperties) const;

private:
    std::optional<TimecodeComponents> components_;
    std::function<Timecode(const TimecodeProperties &)> make_;
};

} // namespace timecode
