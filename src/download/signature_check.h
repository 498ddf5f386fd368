#pragma once

#include "download/failure.h"
#include "download/legacy_ed25519.h"
#include "download/minisign_format.h"

#include <cstddef>
#include <sodium.h>
#include <variant>

namespace sorvo::download {

// The check of a package against its signature, fed with the package's bytes in order.
class SignatureCheck {
  public:
    // Checks what needs no package, the key id and the trusted comment, and prepares the check
    // of the package.
    static std::variant<SignatureCheck, Failure> prepare(const PublicKey& key,
                                                         const SignatureFile& file);

    // The bytes fed so far are thrown away.
    void restart();
    void update(const unsigned char* data, std::size_t size);
    // Whether the bytes fed form the signed package; ends the check.
    bool matches();

  private:
    // The file's BLAKE2b-512 hash is signed.
    struct Prehashed {
        crypto_generichash_state hash;
    };

    SignatureCheck(const PublicKey& key, const SignatureFile& file);

    Ed25519Key key_;
    Ed25519Signature signature_;
    std::variant<Prehashed, LegacyEd25519> state_;
};

} // namespace sorvo::download
