#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace timecode {

// The text does not have the timecode form. Known as `Timecode::StringParseError`.
class TimecodeStringParseError : public std::exception {
public:
    enum Case : uint8_t { malformed };

    TimecodeStringParseError(Case value = malformed) : value_(value) {}
    Case value() const { return value_; }
    friend bool operator==(TimecodeStringParseError, TimecodeStringParseError) { return true; }

    const char *what() const noexcept override { return "The timecode text is malformed."; }

private:
    Case value_;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeStringParseError> {
    std::size_t operator()(const timecode::TimecodeStringParseError &) const noexcept { return 0; }
};
