#include "core/support/UnicodeText.h"

#include <utf8proc.h>

#include <cstdlib>
#include <memory>

namespace tandrel {

std::string canonicallyComposed(std::string_view text) {
    utf8proc_uint8_t *composed = nullptr;
    const auto length =
        utf8proc_map(reinterpret_cast<const utf8proc_uint8_t *>(text.data()),
                     static_cast<utf8proc_ssize_t>(text.size()), &composed,
                     static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE));
    std::unique_ptr<utf8proc_uint8_t, decltype(&std::free)> owner(composed, &std::free);
    if (length < 0 || !composed) {
        return std::string(text);
    }
    return std::string(reinterpret_cast<const char *>(composed), static_cast<size_t>(length));
}

bool plainTextLess(std::string_view a, std::string_view b) {
    // UTF-8 byte order is the order of the scalar values it encodes.
    return canonicallyComposed(a) < canonicallyComposed(b);
}

} // namespace tandrel
