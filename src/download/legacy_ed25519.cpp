#include "download/legacy_ed25519.h"

#include <algorithm>
#include <array>

namespace sorvo::download {

namespace {

using Bytes32 = std::array<unsigned char, 32>;

// The group order L, little-endian.
constexpr Bytes32 groupOrder = {0xed, 0xd3, 0xf5, 0x5c, 0x1a, 0x63, 0x12, 0x58, 0xd6, 0x9c, 0xf7,
                                0xa2, 0xde, 0xf9, 0xde, 0x14, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                                0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10};

// S must be below L, or the signature could be altered without the key.
bool isCanonicalScalar(const unsigned char* s) {
    for (std::size_t i = groupOrder.size(); i-- > 0;) {
        if (s[i] != groupOrder[i]) return s[i] < groupOrder[i];
    }
    return false;
}

} // namespace

LegacyEd25519::LegacyEd25519(const Ed25519Signature& signature, const Ed25519Key& key)
    : signature_(signature), key_(key) {
    restart();
}

void LegacyEd25519::restart() {
    crypto_hash_sha512_init(&hash_);
    crypto_hash_sha512_update(&hash_, signature_.data(), 32); // R
    crypto_hash_sha512_update(&hash_, key_.data(), key_.size());
}

void LegacyEd25519::update(const unsigned char* data, std::size_t size) {
    crypto_hash_sha512_update(&hash_, data, size);
}

bool LegacyEd25519::verify() {
    const unsigned char* r = signature_.data();
    const unsigned char* s = signature_.data() + 32;
    std::array<unsigned char, crypto_hash_sha512_BYTES> digest{};
    crypto_hash_sha512_final(&hash_, digest.data());
    if (!isCanonicalScalar(s) || crypto_core_ed25519_is_valid_point(r) == 0 ||
        crypto_core_ed25519_is_valid_point(key_.data()) == 0)
        return false;
    Bytes32 h{}, sB{}, hA{}, expectedR{};
    crypto_core_ed25519_scalar_reduce(h.data(), digest.data());
    // The multiplications refuse a zero scalar or a result at infinity; neither belongs to a
    // valid signature of a valid key.
    if (crypto_scalarmult_ed25519_base_noclamp(sB.data(), s) != 0 ||
        crypto_scalarmult_ed25519_noclamp(hA.data(), h.data(), key_.data()) != 0 ||
        crypto_core_ed25519_sub(expectedR.data(), sB.data(), hA.data()) != 0)
        return false;
    return crypto_verify_32(expectedR.data(), r) == 0;
}

} // namespace sorvo::download
