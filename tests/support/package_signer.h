#pragma once

#include <array>
#include <optional>
#include <sodium.h>
#include <string>
#include <string_view>

namespace sorvo::download::testing {

// The four lines of a signature file, kept apart so that a test can spoil one of them.
struct SignatureText {
    std::string untrustedComment = "untrusted comment: signature from a test key";
    std::string signature; // base64 of the algorithm, the key id and the signature
    std::string trustedComment;
    std::string globalSignature; // base64

    std::string text() const;
};

struct SignOptions {
    bool legacy = false; // sign the file itself ("Ed"), not its BLAKE2b-512 hash ("ED")
    std::string trustedComment = "timestamp:1700000000\tfile:pkg.exe\tversion:1.1\thashed";
    std::optional<std::array<unsigned char, 8>> keyId; // another key id than the key's own
};

std::string toBase64(std::string_view bytes);

// A publisher's Ed25519 key pair with a random key id, made afresh for a test, that signs
// packages the way the signing tool does.
class PackageSigner {
  public:
    PackageSigner();

    // The line that a build takes as its public key.
    std::string publicKeyLine() const;
    SignatureText sign(std::string_view package, const SignOptions& options = {}) const;

  private:
    std::array<unsigned char, 8> keyId_{};
    std::array<unsigned char, crypto_sign_PUBLICKEYBYTES> publicKey_{};
    std::array<unsigned char, crypto_sign_SECRETKEYBYTES> secretKey_{};
};

} // namespace sorvo::download::testing
