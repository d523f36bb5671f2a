// Feeds arbitrary text to the readers of the JSON documents that come from outside the host:
// the snapshot document, preset lists and files, and pasted elements. Reading may only fail
// with DecodingError, and whatever reads must write again and read back to the same text.

#include "core/model/BurnInElement.h"
#include "core/model/DisplayConfig.h"
#include "core/snapshot/TandrelSnapshot.h"
#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "fuzz/RoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
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
    checkRoundTrip<TandrelSnapshot>(json);
    checkRoundTrip<std::vector<DisplayConfig>>(json);
    checkRoundTrip<DisplayConfig>(json);
    checkRoundTrip<BurnInElement>(json);
    return 0;
}
