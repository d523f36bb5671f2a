#include "core/support/Base64.h"

#include <sodium.h>

namespace tandrel {

std::string base64Encoded(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) {
        return {};
    }
    // The encoded length counts the closing NUL that libsodium writes.
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes.data(), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    text.pop_back();
    return text;
}

std::optional<Bytes> base64Decoded(std::string_view text) {
    if (text.empty()) {
        return Bytes{};
    }
    Bytes bytes(text.size() / 4 * 3 + 3);
    std::size_t length = 0;
    // Without an end pointer to report, libsodium fails unless it consumes the whole text.
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &length,
                          nullptr, sodium_base64_VARIANT_ORIGINAL) != 0) {
        return std::nullopt;
    }
    bytes.resize(length);
    return bytes;
}

} // namespace tandrel
