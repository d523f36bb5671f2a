#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace timecode {

// Writing a timecode track failed: the movie cannot be edited (not a movie, a fragmented one,
// a damaged layout) or the track cannot be built. Known in a timecode as
// `Timecode::MediaWriteError`. Equal by case; the message says what was refused.
class MediaWriteError : public std::exception {
public:
    enum Case : uint8_t { internalError };

    explicit MediaWriteError(Case value, std::string detail = {});
    Case value() const { return value_; }
    std::string_view name() const { return "internalError"; }
    friend bool operator==(const MediaWriteError &lhs, const MediaWriteError &rhs) {
        return lhs.value_ == rhs.value_;
    }

    const char *what() const noexcept override { return message_.c_str(); }

private:
    Case value_;
    std::string message_;
};

} // namespace timecode

template <> struct std::hash<timecode::MediaWriteError> {
    std::size_t operator()(const timecode::MediaWriteError &error) const noexcept {
        return std::hash<int>{}(static_cast<int>(error.value()));
    }
};
