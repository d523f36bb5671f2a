#pragma once

#include "core/support/Json.h"

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tandrel {

// A 128-bit identifier. Its text is the canonical 36-character hyphenated form in upper case
// ("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"); parsing accepts either case.
class Uuid {
public:
    using Bytes = std::array<uint8_t, 16>;

    // The nil identifier (all zeros).
    constexpr Uuid() = default;
    constexpr explicit Uuid(const Bytes &bytes) : bytes_(bytes) {}

    // A random (version 4) identifier from the system's random source.
    static Uuid random();
    // Nothing unless the text is exactly the canonical form, in upper or lower case.
    static std::optional<Uuid> fromString(std::string_view text);

    std::string uuidString() const;
    const Bytes &bytes() const { return bytes_; }

    friend auto operator<=>(const Uuid &, const Uuid &) = default;

private:
    Bytes bytes_{};
};

// Written as its text; reading fails unless the value is a string in the canonical form.
void to_json(Json &json, const Uuid &uuid);
void from_json(const Json &json, Uuid &uuid);

} // namespace tandrel

template <> struct std::hash<tandrel::Uuid> {
    std::size_t operator()(const tandrel::Uuid &uuid) const noexcept;
};
