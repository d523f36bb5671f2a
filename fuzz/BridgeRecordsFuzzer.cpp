// Feeds arbitrary text to the readers of the bridge's records, which another process writes
// into the shared suite: the host's preset list and the panel's selection. Reading may only
// fail with DecodingError, and whatever reads must write again and read back to the same text.

#include "core/support/JsonText.h"
#include "fuzz/RoundTrip.h"
#include "host/bridge/ActiveSelection.h"
#include "host/bridge/PresetSummary.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

using namespace tandrel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Json json;
    try {
        json = parseJsonText(std::string_view(reinterpret_cast<const char *>(data), size));
    } catch (const DecodingError &) {
        return 0;
    }
    checkRoundTrip<std::vector<ExtensionBridge::PresetSummary>>(json);
    checkRoundTrip<ExtensionBridge::ActiveSelection>(json);
    return 0;
}
