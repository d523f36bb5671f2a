#pragma once

#include "core/support/XMLSecurityError.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tandrel {

// The check every XML document of the system passes before it is parsed: a document whose
// prolog declares entities is refused outright, so that no entity-expansion or external-entity
// payload reaches a parser. It looks only at the beginning of the document; the parser
// (`XMLStreamParser`) refuses every entity declaration it meets on its own as well.
struct XMLSecurity {
    // How much of a document the guard examines.
    static constexpr size_t examinedLength = 65536;

    // Throws `XMLSecurityError` (`entityDeclarationsRejected` with `name`) when the prolog of
    // the document declares entities ("<!ENTITY", case-sensitive). The examined bytes are the
    // first `examinedLength` ones, as far as they are well-formed UTF-8: a character cut at the
    // boundary, or bytes that are not UTF-8 at all, end the examined text.
    static void rejectXMLEntityDeclarations(std::span<const uint8_t> data, std::string_view name);

    // The part of the text before the first "<" that is followed by a letter; all of it when
    // there is none.
    static std::string_view prologRegion(std::string_view text);
};

} // namespace tandrel
