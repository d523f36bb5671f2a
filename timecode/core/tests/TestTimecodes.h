#pragma once

// Short names and a maker for the timecodes the tests build.

#include "timecode/core/Timecode.h"

namespace timecode::test {

using C = Timecode::Component;
using Components = Timecode::Components;
using Count = Timecode::FrameCount;
using Value = Count::Value;
using R = TimecodeFrameRate;
using Base = Timecode::SubFramesBase;
using Limit = Timecode::UpperLimit;
using Rule = Timecode::ValidationRule;
using Error = Timecode::ValidationError;

inline Timecode::Properties props(R rate, Base base = Base::max80SubFrames,
                                  Limit limit = Limit::max24Hours) {
    return Timecode::Properties(rate, base, limit);
}

// The components as given, valid or not.
inline Timecode make(Components components, R rate = R::fps24, Base base = Base::max80SubFrames,
                     Limit limit = Limit::max24Hours) {
    Timecode timecode(props(rate, base, limit));
    timecode.setComponents(components);
    return timecode;
}

} // namespace timecode::test
