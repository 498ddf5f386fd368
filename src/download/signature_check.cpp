#include "download/signature_check.h"

#include <string>
#include <vector>

namespace sorvo::download {

namespace {

constexpr std::size_t prehashSize = crypto_generichash_BYTES_MAX;

// The trusted comment is signed together with the file's signature.
bool trustedCommentHolds(const PublicKey& key, const SignatureFile& file) {
    std::vector<unsigned char> signedText(file.signature.begin(), file.signature.end());
    signedText.insert(signedText.end(), file.trustedComment.begin(), file.trustedComment.end());
    return crypto_sign_verify_detached(file.globalSignature.data(), signedText.data(),
                                       signedText.size(), key.key.data()) == 0;
}

} // namespace

std::variant<SignatureCheck, Failure> SignatureCheck::prepare(const PublicKey& key,
                                                              const SignatureFile& file,
                                                              const ExpectedPackage& expected) {
    // Picks libsodium's fastest code for this processor; later calls return at once.
    if (sodium_init() < 0) return Failure{MessageCode::SignatureMismatch, "cannot start libsodium"};
    if (file.keyId != key.keyId)
        return Failure{MessageCode::SignatureWrongKey,
                       "the package was signed with another key than the one this client trusts"};
    if (!trustedCommentHolds(key, file))
        return Failure{MessageCode::SignatureMismatch,
                       "the signature's trusted comment was changed after signing"};
    if (auto failure = checkTrustedComment(file.trustedComment, expected)) return *failure;
    return SignatureCheck(key, file);
}

SignatureCheck::SignatureCheck(const PublicKey& key, const SignatureFile& file)
    : key_(key.key), signature_(file.signature) {
    restart();
}

void SignatureCheck::restart() {
    crypto_generichash_init(&hash_, nullptr, 0, prehashSize);
}

void SignatureCheck::update(const unsigned char* data, std::size_t size) {
    crypto_generichash_update(&hash_, data, size);
}

bool SignatureCheck::matches() {
    unsigned char digest[prehashSize];
    crypto_generichash_final(&hash_, digest, prehashSize);
    return crypto_sign_verify_detached(signature_.data(), digest, prehashSize, key_.data()) == 0;
}

} // namespace sorvo::download
