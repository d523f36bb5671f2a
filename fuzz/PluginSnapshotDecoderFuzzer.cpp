// Feeds arbitrary text to the plug-in's readers of outside input: the snapshot document as the
// plug-in reads it, and the render state handed from the state call to the render call.
// Reading may only fail with DecodingError; whatever reads must write again and read back to
// the same text, and every element's text must resolve over every record it could meet.

#include "core/support/JsonText.h"
#include "core/support/JsonValue.h"
#include "fuzz/RoundTrip.h"
#include "plugin/BurnInText.h"
#include "plugin/PluginSnapshot.h"
#include "plugin/RenderState.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

using namespace tandrel;

namespace {

// Every element over every record, a bounded number of each.
void resolveAll(const std::vector<BurnInElement> &elements,
                const std::vector<const TandrelMetadata *> &records) {
    constexpr std::size_t limit = 16;
    for (std::size_t r = 0; r < std::min(records.size(), limit); ++r) {
        for (std::size_t e = 0; e < std::min(elements.size(), limit); ++e) {
            for (const bool stacked : {false, true}) {
                (void)BurnInText::resolve(elements[e], *records[r], stacked, std::nullopt);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    Json json;
    try {
        json = parseJsonText(std::string_view(reinterpret_cast<const char *>(data), size));
    } catch (const DecodingError &) {
        return 0;
    }
    if (const auto snapshot = checkRoundTrip<PluginSnapshot>(json)) {
        std::vector<const TandrelMetadata *> records;
        for (const PluginSnapshotEntry &entry : snapshot->entries) {
            records.push_back(&entry.metadata);
        }
        resolveAll(snapshot->displayConfig.elements, records);
    }
    if (const auto state = checkRoundTrip<RenderState>(json)) {
        resolveAll(state->elements, {&state->metadata});
    }
    return 0;
}
