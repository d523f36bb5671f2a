#include "core/support/XMLSecurity.h"

#include "core/support/UnicodeText.h"

#include <algorithm>
#include <string>

namespace tandrel {

std::string_view XMLSecurity::prologRegion(std::string_view text) {
    size_t from = 0;
    while (true) {
        const size_t open = text.find('<', from);
        if (open == std::string_view::npos || open + 1 == text.size()) {
            return text;
        }
        if (startsWithLetter(text.substr(open + 1))) {
            return text.substr(0, open);
        }
        // The character after "<" is examined again: it may itself be a "<".
        from = open + 1;
    }
}

void XMLSecurity::rejectXMLEntityDeclarations(std::span<const uint8_t> data,
                                              std::string_view name) {
    const std::string_view prefix(reinterpret_cast<const char *>(data.data()),
                                  std::min(data.size(), examinedLength));
    const std::string_view text = prefix.substr(0, validUTF8PrefixLength(prefix));
    if (prologRegion(text).find("<!ENTITY") != std::string_view::npos) {
        throw XMLSecurityError(XMLSecurityError::Case::entityDeclarationsRejected,
                               std::string(name));
    }
}

} // namespace tandrel
