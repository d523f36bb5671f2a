#pragma once

#include <string>

namespace platform {

// What a failed platform call reports: an error domain, a code within it and a readable text.
struct Error {
    std::string domain;
    long code = 0;
    std::string description;
};

// Fills `*out` when the caller asked for the error (the pointer may be null).
inline void report(Error *out, std::string domain, long code, std::string description) {
    if (out != nullptr) {
        *out = Error{std::move(domain), code, std::move(description)};
    }
}

} // namespace platform
