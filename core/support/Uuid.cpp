#include "core/support/Uuid.h"

#include <sys/random.h>

#include <cerrno>
#include <system_error>

namespace tandrel {

namespace {

constexpr std::string_view hexDigits = "0123456789ABCDEF";

bool isHyphenPosition(std::size_t i) {
    return i == 8 || i == 13 || i == 18 || i == 23;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

Uuid Uuid::random() {
    Bytes bytes;
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const ssize_t n = ::getrandom(bytes.data() + filled, bytes.size() - filled, 0);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw std::system_error(errno, std::generic_category(), "getrandom");
        }
        filled += static_cast<std::size_t>(n);
    }
    bytes[6] = static_cast<uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4
    bytes[8] = static_cast<uint8_t>((bytes[8] & 0x3F) | 0x80); // RFC 4122 variant
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::fromString(std::string_view text) {
    if (text.size() != 36) {
        return std::nullopt;
    }
    Bytes bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHyphenPosition(i)) {
            if (text[i] != '-') {
                return std::nullopt;
            }
            continue;
        }
        const int value = hexValue(text[i]);
        if (value < 0) {
            return std::nullopt;
        }
        bytes[nibble / 2] = static_cast<uint8_t>(bytes[nibble / 2] << 4 | value);
        ++nibble;
    }
    return Uuid(bytes);
}

std::string Uuid::uuidString() const {
    std::string text;
    text.reserve(36);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            text += '-';
        }
        text += hexDigits[bytes_[i] >> 4];
        text += hexDigits[bytes_[i] & 0x0F];
    }
    return text;
}

void to_json(Json &json, const Uuid &uuid) {
    json = uuid.uuidString();
}

void from_json(const Json &json, Uuid &uuid) {
    if (!json.is_string()) {
        throw DecodingError(
            json.is_null() ? DecodingError::Kind::valueNotFound : DecodingError::Kind::typeMismatch,
            "Expected to decode UUID but found " + std::string(json.type_name()) + " instead.");
    }
    const auto parsed = Uuid::fromString(json.get_ref<const std::string &>());
    if (!parsed) {
        throw DecodingError(DecodingError::Kind::dataCorrupted,
                            "Attempted to decode UUID from invalid UUID string.");
    }
    uuid = *parsed;
}

} // namespace tandrel

std::size_t std::hash<tandrel::Uuid>::operator()(const tandrel::Uuid &uuid) const noexcept {
    std::size_t hash = 0;
    for (uint8_t byte : uuid.bytes()) {
        hash = hash * 131 + byte;
    }
    return hash;
}
