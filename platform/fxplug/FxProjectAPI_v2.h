#pragma once

#include "platform/fxplug/PROAPIAccessing.h"
#include "platform/gpu/Error.h"

#include <cstdint>

namespace platform {

// The host's project interface: which document an effect instance belongs to.
class FxProjectAPI_v2 : public FxAPIObject {
public:
    static constexpr std::string_view protocolName = "FxProjectAPI_v2";

    // True with the document's identifier, or false with the reason in `*error` (when given).
    virtual bool documentID(uint64_t *documentID, Error *error) = 0;
};

} // namespace platform
