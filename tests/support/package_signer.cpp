#include "support/package_signer.h"

#include <stdexcept>
#include <vector>

namespace sorvo::download::testing {

namespace {

std::string_view asText(const unsigned char* bytes, std::size_t size) {
    return {reinterpret_cast<const char*>(bytes), size};
}

} // namespace

std::string SignatureText::text() const {
    return untrustedComment + "\n" + signature + "\ntrusted comment: " + trustedComment + "\n" +
           globalSignature + "\n";
}

std::string toBase64(std::string_view bytes) {
    std::string text(sodium_base64_ENCODED_LEN(bytes.size(), sodium_base64_VARIANT_ORIGINAL), '\0');
    sodium_bin2base64(text.data(), text.size(),
                      reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                      sodium_base64_VARIANT_ORIGINAL);
    text.resize(text.find('\0'));
    return text;
}

PackageSigner::PackageSigner() {
    if (sodium_init() < 0) throw std::runtime_error("libsodium does not start");
    crypto_sign_keypair(publicKey_.data(), secretKey_.data());
    randombytes_buf(keyId_.data(), keyId_.size());
}

std::string PackageSigner::publicKeyLine() const {
    return toBase64(std::string("Ed") + std::string(asText(keyId_.data(), keyId_.size())) +
                    std::string(asText(publicKey_.data(), publicKey_.size())));
}

SignatureText PackageSigner::sign(std::string_view package, const SignOptions& options) const {
    const auto* data = reinterpret_cast<const unsigned char*>(package.data());
    std::array<unsigned char, crypto_generichash_BYTES_MAX> hash{};
    if (!options.legacy)
        crypto_generichash(hash.data(), hash.size(), data, package.size(), nullptr, 0);
    std::array<unsigned char, crypto_sign_BYTES> signature{};
    if (options.legacy)
        crypto_sign_detached(signature.data(), nullptr, data, package.size(), secretKey_.data());
    else
        crypto_sign_detached(signature.data(), nullptr, hash.data(), hash.size(),
                             secretKey_.data());

    std::vector<unsigned char> signedComment(signature.begin(), signature.end());
    signedComment.insert(signedComment.end(), options.trustedComment.begin(),
                         options.trustedComment.end());
    std::array<unsigned char, crypto_sign_BYTES> global{};
    crypto_sign_detached(global.data(), nullptr, signedComment.data(), signedComment.size(),
                         secretKey_.data());

    const auto& keyId = options.keyId ? *options.keyId : keyId_;
    SignatureText text;
    text.signature = toBase64(std::string(options.legacy ? "Ed" : "ED") +
                              std::string(asText(keyId.data(), keyId.size())) +
                              std::string(asText(signature.data(), signature.size())));
    text.trustedComment = options.trustedComment;
    text.globalSignature = toBase64(asText(global.data(), global.size()));
    return text;
}

} // namespace sorvo::download::testing
