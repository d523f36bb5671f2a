#pragma once

#include "platform/fxplug/FxProjectAPI_v2.h"
#include "platform/fxplug/FxTimingAPI_v4.h"
#include "platform/fxplug/PROAPIAccessing.h"

#include <cstdint>
#include <optional>

namespace platform {

// The editor as an effect sees it through its API manager, for hosts that play the editor
// (tandrel-fxhost, tests, benchmarks): a timeline of a fixed rate whose times are the effect's
// input times (the effect sits on the timeline itself), and a project with a document
// identifier. Either interface can be withheld, as a host may do. Safe to call from any
// thread: nothing changes once made.
class SimulatedEditor final : public PROAPIAccessing {
public:
    struct Timeline {
        unsigned int rateNum = 25;
        unsigned int rateDen = 1;
    };

    // `timeline` absent: the editor gives no timing interface.
    SimulatedEditor(std::optional<Timeline> timeline, bool withProjectAPI);

    FxAPIObject *apiForProtocol(std::string_view protocolName) override;

private:
    class Timing final : public FxTimingAPI_v4 {
    public:
        explicit Timing(Timeline timeline) : timeline_(timeline) {}
        unsigned int timelineFpsNumeratorForEffect(const FxTileableEffect *) override {
            return timeline_.rateNum;
        }
        unsigned int timelineFpsDenominatorForEffect(const FxTileableEffect *) override {
            return timeline_.rateDen;
        }
        void timelineTime(CMTime *timelineTime, CMTime fromInputTime) override {
            *timelineTime = fromInputTime;
        }

    private:
        Timeline timeline_;
    };

    class Project final : public FxProjectAPI_v2 {
    public:
        bool documentID(uint64_t *documentID, Error *) override {
            *documentID = 1;
            return true;
        }
    };

    std::optional<Timing> timing_;
    std::optional<Project> project_;
};

} // namespace platform
