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
    // A declaration the guard could not see is refused by the parser: the same outcome.
    return XMLStreamParser::parse(document, delegate) != XMLStreamParser::Outcome::refused;
}

} // namespace tandrel
