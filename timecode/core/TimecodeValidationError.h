#pragma once

#include <cstdint>
#include <exception>
#include <functional>

namespace timecode {

// A value is invalid (a media-time range that is not valid) or lies outside what the
// timecode's properties can express. Known as `Timecode::ValidationError`.
class TimecodeValidationError : public std::exception {
public:
    enum Case : uint8_t { invalid, outOfBounds };

    TimecodeValidationError(Case value) : value_(value) {}
    Case value() const { return value_; }
    friend bool operator==(TimecodeValidationError lhs, TimecodeValidationError rhs) {
        return lhs.value_ == rhs.value_;
    }

    const char *what() const noexcept override {
        return value_ == invalid ? "The timecode source is invalid."
                                 : "The timecode is out of bounds.";
    }

private:
    Case value_;
};

} // namespace timecode

template <> struct std::hash<timecode::TimecodeValidationError> {
    std::size_t operator()(const timecode::TimecodeValidationError &error) const noexcept {
        return std::hash<int>{}(static_cast<int>(error.value()));
    }
};
