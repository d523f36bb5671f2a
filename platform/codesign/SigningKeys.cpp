#include "platform/codesign/SigningKeys.h"

#include "core/support/Base64.h"

#include <sodium.h>

#include <algorithm>
#include <stdexcept>

namespace platform {

namespace {

void ensureSodium() {
    static const bool ready = sodium_init() >= 0;
    if (!ready) {
        throw std::runtime_error("The signature library could not be initialised.");
    }
}

// A key of type Key (a struct of one byte array, `bytes`) from its whole base64 text.
template <typename Key> std::optional<Key> keyFromBase64(std::string_view text) {
    const std::optional<tandrel::Bytes> decoded = tandrel::base64Decoded(text);
    Key key;
    if (!decoded || decoded->size() != key.bytes.size()) {
        return std::nullopt;
    }
    std::copy(decoded->begin(), decoded->end(), key.bytes.begin());
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
    return tandrel::base64Encoded(bytes);
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
    return tandrel::base64Encoded(bytes);
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
