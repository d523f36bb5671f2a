#pragma once

#include "core/support/Bytes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tandrel {

// Standard Base64 with padding. Decoding accepts only that form, whole: no white space, no
// missing padding, no stray bits in the last character; anything else is nothing.
std::string base64Encoded(std::span<const std::uint8_t> bytes);
std::optional<Bytes> base64Decoded(std::string_view text);

} // namespace tandrel
