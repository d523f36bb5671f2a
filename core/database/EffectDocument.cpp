#include "core/database/EffectDocument.h"

#include "core/support/UnicodeText.h"
#include "core/support/XMLSecurity.h"

namespace tandrel {

bool EffectDocument::passesGuard(std::span<const uint8_t> document, std::string_view guardName) {
    try {
        XMLSecurity::rejectXMLEntityDeclarations(document, guardName);
        return true;
    } catch (const XMLSecurityError &) {
        return false;
    }
}

bool EffectDocument::read(std::span<const uint8_t> document, std::string_view guardName,
                          XMLStreamParser::Delegate &delegate) {
    if (!passesGuard(document, guardName) ||
        !isValidUTF8(
            std::string_view(reinterpret_cast<const char *>(document.data()), document.size()))) {
        return false;
    }
    // A declaration the guard could not see, or one it does not look for (an element type,
    // an attribute list with its defaults, an external DTD), is refused by the parser: the
    // same outcome. So is markup that would multiply memory.
    switch (XMLStreamParser::parse(document, delegate)) {
    case XMLStreamParser::Outcome::finished:
    case XMLStreamParser::Outcome::malformed:
        return true;
    case XMLStreamParser::Outcome::refused:
    case XMLStreamParser::Outcome::exhausted:
        break;
    }
    return false;
}

} // namespace tandrel
