#pragma once

#include "download/minisign_format.h"

#include <cstddef>
#include <sodium.h>

namespace sorvo::download {

// Verifies a plain Ed25519 signature of a message that arrives in pieces, without holding the
// message: the hash H(R, A, message) grows with each piece, and the end checks
// [S]B = R + [H]A. This is the older signature form, made over the whole file.
class LegacyEd25519 {
  public:
    LegacyEd25519(const Ed25519Signature& signature, const Ed25519Key& key);

    void restart();
    void update(const unsigned char* data, std::size_t size);
    // Whether the message so far carries the signature; ends the hash.
    bool verify();

  private:
    const Ed25519Signature signature_;
    const Ed25519Key key_;
    crypto_hash_sha512_state hash_;
};

} // namespace sorvo::download
