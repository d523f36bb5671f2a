#pragma once

#include "core/support/UnicodeText.h"

#include <stdexcept>
#include <string>

namespace tandrel {

// An XML document refused before or while it was parsed, by what was found in it. The payload
// is the caller's name for the data.
class XMLSecurityError : public std::runtime_error {
public:
    enum class Case {
        // "<!ENTITY …>", internal or external, general or parameter.
        entityDeclarationsRejected,
        // A document type declaration that names a DTD outside the document (SYSTEM or PUBLIC).
        externalDTDRejected,
        // "<!ELEMENT …>" in the internal subset.
        elementDeclarationsRejected,
        // "<!ATTLIST …>" in the internal subset: its defaults would add attributes the
        // document does not hold.
        attributeListDeclarationsRejected,
        // "<!NOTATION …>" in the internal subset.
        notationDeclarationsRejected,
        // A parameter-entity reference ("%name;") in the internal subset.
        parameterEntityReferencesRejected,
    };

    XMLSecurityError(Case c, std::string name)
        : std::runtime_error(description(c, name)), case_(c), name_(std::move(name)) {}

    Case errorCase() const { return case_; }
    const std::string &name() const { return name_; }

private:
    static std::string description(Case c, const std::string &name) {
        // The name is a file's, from outside: shown with its controls, never obeyed.
        const std::string quoted = std::string("'").append(withControlsShown(name)).append("' ");
        switch (c) {
        case Case::entityDeclarationsRejected:
            break;
        case Case::externalDTDRejected:
            return quoted +
                   "refers to an external DTD (<!DOCTYPE \u2026 SYSTEM or PUBLIC \u2026>), "
                   "which Final Cut Pro never emits. Refusing to parse: nothing outside "
                   "the document is ever read, and this can be an XXE (local file "
                   "disclosure) payload, or a corrupt blob.";
        case Case::elementDeclarationsRejected:
            return quoted + dtdDeclarations("declares element types (<!ELEMENT \u2026>)");
        case Case::attributeListDeclarationsRejected:
            return quoted + dtdDeclarations("declares attribute lists and defaults "
                                            "(<!ATTLIST \u2026>)");
        case Case::notationDeclarationsRejected:
            return quoted + dtdDeclarations("declares notations (<!NOTATION \u2026>)");
        case Case::parameterEntityReferencesRejected:
            return quoted + dtdDeclarations("refers to parameter entities (%\u2026;)");
        }
        return quoted + "declares XML entities (<!ENTITY \u2026>), which Final Cut Pro never "
                        "emits. Refusing to parse: this can be an XXE (local file disclosure) "
                        "or billion-laughs (denial-of-service) payload, or a corrupt blob.";
    }

    static std::string dtdDeclarations(const std::string &found) {
        return found + " in its document type, which Final Cut Pro never emits. Refusing to "
                       "parse: declarations can change what the document says (a default adds "
                       "a value it never wrote), and this can be a denial-of-service payload, or "
                       "a corrupt blob.";
    }

    Case case_;
    std::string name_;
};

} // namespace tandrel
