#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace timecode {

// Reading a media asset's rates or timecode failed. Known in a timecode as
// `Timecode::MediaParseError`. Equal by case; an internal error also says what the media layer
// reported, for people to read.
class MediaParseError : public std::exception {
public:
    enum Case : uint8_t { missingOrNonStandardFrameRate, unknownTimecode, internalError, noData };

    MediaParseError(Case value, std::string detail = {});
    Case value() const { return value_; }
    // The case name: "missingOrNonStandardFrameRate", "unknownTimecode", ...
    std::string_view name() const;
    friend bool operator==(const MediaParseError &lhs, const MediaParseError &rhs) {
        return lhs.value_ == rhs.value_;
    }

    const char *what() const noexcept override { return message_.c_str(); }

private:
    Case value_;
    std::string message_;
};

} // namespace timecode

template <> struct std::hash<timecode::MediaParseError> {
    std::size_t operator()(const timecode::MediaParseError &error) const noexcept {
        return std::hash<int>{}(static_cast<int>(error.value()));
    }
};
