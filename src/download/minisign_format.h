#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace sorvo::download {

using KeyId = std::array<unsigned char, 8>;
using Ed25519Key = std::array<unsigned char, 32>;
using Ed25519Signature = std::array<unsigned char, 64>;

// A publisher's key: the base64 line of "Ed", an 8-byte key id and the 32-byte Ed25519 key.
struct PublicKey {
    KeyId keyId{};
    Ed25519Key key{};
};

// A detached signature file of four lines:
//   untrusted comment: <text>
//   base64("ED", key id, signature of the file's BLAKE2b-512 hash)
//   trusted comment: <text>
//   base64(signature of the file's signature followed by the trusted comment)
// The older form "Ed" signs the file itself: a 64-byte file could then be its own hash, so a
// signature of any package's hash would pass for that file. It is not accepted.
struct SignatureFile {
    KeyId keyId{};
    Ed25519Signature signature{};
    std::string trustedComment;
    Ed25519Signature globalSignature{};
};

// The line may carry blanks around it; nullopt when it is not a key.
std::optional<PublicKey> parsePublicKey(std::string_view line);

// The signature, or what is wrong with the text.
std::variant<SignatureFile, std::string> parseSignatureFile(std::string_view text);

} // namespace sorvo::download
