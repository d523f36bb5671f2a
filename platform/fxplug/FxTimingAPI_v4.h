#pragma once

#include "platform/fxplug/CMTime.h"
#include "platform/fxplug/PROAPIAccessing.h"

namespace platform {

class FxTileableEffect;

// The host's timing interface: the rate of the timeline an effect sits on and the conversion
// of the effect's input times to timeline times. Called from any thread.
class FxTimingAPI_v4 : public FxAPIObject {
public:
    static constexpr std::string_view protocolName = "FxTimingAPI_v4";

    // The timeline's frame rate as numerator ÷ denominator; either may be 0 when the host
    // does not know it.
    virtual unsigned int timelineFpsNumeratorForEffect(const FxTileableEffect *effect) = 0;
    virtual unsigned int timelineFpsDenominatorForEffect(const FxTileableEffect *effect) = 0;

    // Sets `*timelineTime` to the timeline time of the input time; a time the host cannot
    // convert comes back invalid (no valid flag).
    virtual void timelineTime(CMTime *timelineTime, CMTime fromInputTime) = 0;
};

} // namespace platform
