#include "platform/codesign/SigningKeys.h"

#include <sodium.h>

#include <stdexcept>

namespace platform {

namespace {

void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        throw std::runtime_error("The signature library could not be initialised.");
    }
}

template <std::size_t N> std::string toBase64(const std::array<std::uint8_t, N> &bytes) {
    std::string text(sodium_base64_ENCODED_LEN(N, sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(), bytes.data(), N, sodium_base64_VARIANT_ORIGINAL);
    text.pop_back(); // the terminating NUL
    return text;
}

// A key of type Key (a struct of one byte array, `bytes`) from its whole base64 text.
template <typename Key> std::optional<Key> keyFromBase64(std::string_view text) {
    Key key;
    const std::size_t size = key.bytes.size();
    std::size_t length = 0;
    const char *end = nullptr;
    if (sodium_base642bin(key.bytes.data(), size, text.data(), text.size(), nullptr, &length, &end,
                          sodium_base64_VARIANT_ORIGINAL) != 0 ||
        length != size || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return key;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::string PublicKey::base64() const {
    return toBase64(bytes);
}

std::optional<PublicKey> PublicKey::fromBase64(std::string_view text) {
    return keyFromBase64<PublicKey>(text);
}

SecretKey SecretKey::generate() {
    ensureSodium();
    SecretKey secret;
    PublicKey ignored;
    crypto_sign_keypair(ignored.bytes.data(), secret.bytes.data());
    return secret;
}

PublicKey SecretKey::publicKey() const {
    PublicKey key;
    crypto_sign_ed25519_sk_to_pk(key.bytes.data(), bytes.data());
    return key;
}

std::string SecretKey::base64() const {
    return toBase64(bytes);
}

std::optional<SecretKey> SecretKey::fromBase64(std::string_view text) {
    return keyFromBase64<SecretKey>(text);
}

bool isValidTeamIdentifier(std::string_view team) {
    if (team.empty() || team.size() > 64) {
        return false;
    }
    for (char c : team) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-';
        if (!plain) {
            return false;
        }
    }
    return true;
}

std::vector<TrustedKey> parseTrustedKeys(std::string_view text) {
    std::vector<TrustedKey> keys;
    while (!trimmed(text).empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = trimmed(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const std::size_t equals = item.find('=');
        const auto key = equals == std::string_view::npos
                             ? std::nullopt
                             : PublicKey::fromBase64(item.substr(equals + 1));
        if (!key || !isValidTeamIdentifier(item.substr(0, equals))) {
            throw std::invalid_argument("Not a trusted key (TEAM=base64 key): \"" +
                                        std::string(item) + "\"");
        }
        keys.push_back({std::string(item.substr(0, equals)), *key});
    }
    return keys;
}

std::array<std::uint8_t, 64> signMessage(std::string_view message, const SecretKey &key) {
    ensureSodium();
    std::array<std::uint8_t, 64> signature{};
    crypto_sign_detached(signature.data(), nullptr,
                         reinterpret_cast<const unsigned char *>(message.data()), message.size(),
                         key.bytes.data());
    return signature;
}

bool verifyMessage(std::string_view message, std::string_view signature, const PublicKey &key) {
    ensureSodium();
    return signature.size() == crypto_sign_BYTES &&
           crypto_sign_verify_detached(reinterpret_cast<const unsigned char *>(signature.data()),
                                       reinterpret_cast<const unsigned char *>(message.data()),
                                       message.size(), key.bytes.data()) == 0;
}

} // namespace platform
