#pragma once

#include <stdexcept>
#include <string>

namespace tandrel {

// An XML document refused before parsing. The payload is the caller's name for the data.
class XMLSecurityError : public std::runtime_error {
public:
    enum class Case { entityDeclarationsRejected };

    XMLSecurityError(Case c, std::string name)
        : std::runtime_error(description(name)), case_(c), name_(std::move(name)) {}

    Case errorCase() const { return case_; }
    const std::string &name() const { return name_; }

private:
    static std::string description(const std::string &name) {
        return "'" + name +
               "' declares XML entities (<!ENTITY \u2026>), which Final Cut Pro never emits. "
               "Refusing to parse: this can be an XXE (local file disclosure) or billion-laughs "
               "(denial-of-service) payload, or a corrupt blob.";
    }

    Case case_;
    std::string name_;
};

} // namespace tandrel
