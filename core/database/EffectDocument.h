#pragma once

#include "core/support/XMLStreamParser.h"

#include <cstdint>
#include <span>
#include <string_view>

namespace tandrel {

// The reading of an effect's parameter document ("channelData"), shared by the effect readers:
// the entity guard under the caller's name for the data, UTF-8 text only, then one pass of the
// hardened parser. What the delegate collected before a malformed part stands.
struct EffectDocument {
    // False, with nothing read, when the guard or the parser refuses the document (for an
    // entity, an external DTD, any declaration in its document type, or markup beyond the
    // parser's memory budget) or it is not UTF-8 text.
    static bool read(std::span<const uint8_t> document, std::string_view guardName,
                     XMLStreamParser::Delegate &delegate);
    // Whether the entity guard lets the document through.
    static bool passesGuard(std::span<const uint8_t> document, std::string_view guardName);
};

} // namespace tandrel
