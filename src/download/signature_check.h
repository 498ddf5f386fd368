#pragma once

#include "download/failure.h"
#include "download/minisign_format.h"
#include "download/trusted_comment.h"

#include <cstddef>
#include <sodium.h>
#include <variant>

namespace sorvo::download {

// The check of a package against its signature, fed with the package's bytes in order.
class SignatureCheck {
  public:
    // Checks what needs no package: the key id, the trusted comment's signature and then what
    // the comment says of the package; prepares the check of the package.
    static std::variant<SignatureCheck, Failure>
    prepare(const PublicKey& key, const SignatureFile& file, const ExpectedPackage& expected);

    // The bytes fed so far are thrown away.
    void restart();
    void update(const unsigned char* data, std::size_t size);
    // Whether the bytes fed form the signed package; ends the check.
    bool matches();

  private:
    SignatureCheck(const PublicKey& key, const SignatureFile& file);

    Ed25519Key key_;
    Ed25519Signature signature_;
    crypto_generichash_state hash_; // of the package: its BLAKE2b-512 hash is signed
};

} // namespace sorvo::download
