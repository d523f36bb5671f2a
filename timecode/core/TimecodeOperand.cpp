#include "timecode/core/TimecodeOperand.h"

#include "timecode/core/Timecode.h"

namespace timecode {

TimecodeOperand::TimecodeOperand(const Timecode &timecode)
    : make_([timecode](const TimecodeProperties &) { return timecode; }) {}

TimecodeOperand::TimecodeOperand(const TimecodeSourceValue &source)
    : make_([source](const TimecodeProperties &properties) {
          return Timecode(source, properties);
      }) {}

TimecodeOperand::TimecodeOperand(const FormattedTimecodeSourceValue &source)
    : make_([source](const TimecodeProperties &properties) {
          return Timecode(source, properties);
      }) {}

TimecodeOperand::TimecodeOperand(const GuaranteedTimecodeSourceValue &source)
    : make_([source](const TimecodeProperties &properties) {
          return Timecode(source, properties);
      }) {}

TimecodeOperand::TimecodeOperand(const RichTimecodeSourceValue &source)
    : make_([source](const TimecodeProperties &) { return Timecode(source); }) {}

TimecodeOperand::TimecodeOperand(const GuaranteedRichTimecodeSourceValue &source)
    : make_([source](const TimecodeProperties &) { return Timecode(source); }) {}

std::variant<TimecodeComponents, Timecode>
TimecodeOperand::resolve(const TimecodeProperties &callerProperties) const {
    if (components_) {
        return *components_;
    }
    return make_(callerProperties);
}

} // namespace timecode
