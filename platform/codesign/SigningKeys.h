#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An Ed25519 public key; its text form is standard base64 (44 characters).
struct PublicKey {
    std::array<std::uint8_t, 32> bytes{};

    std::string base64() const;
    static std::optional<PublicKey> fromBase64(std::string_view text);

    friend bool operator==(const PublicKey &, const PublicKey &) = default;
};

// An Ed25519 secret key (seed and public half); its text form is standard base64.
struct SecretKey {
    std::array<std::uint8_t, 64> bytes{};

    // A fresh key from the system's random source.
    static SecretKey generate();
    PublicKey publicKey() const;
    std::string base64() const;
    static std::optional<SecretKey> fromBase64(std::string_view text);
};

// A key the build trusts, and the team it signs for.
struct TrustedKey {
    std::string teamIdentifier;
    PublicKey key;
};

// Whether a team identifier is usable: 1 to 64 ASCII letters, digits, "." or "-", so that it
// stays one plain word in a tool's output line.
bool isValidTeamIdentifier(std::string_view team);

// The build's list of trusted keys, "TEAM=KEY" pairs separated by "," (KEY in base64; spaces
// around items are ignored; the empty text is the empty list). Fails with
// std::invalid_argument naming the first malformed item.
std::vector<TrustedKey> parseTrustedKeys(std::string_view text);

// Detached Ed25519 signatures (64 bytes) over a message.
std::array<std::uint8_t, 64> signMessage(std::string_view message, const SecretKey &key);
bool verifyMessage(std::string_view message, std::string_view signature, const PublicKey &key);

} // namespace platform
