#include "download/minisign_format.h"

#include "download/ascii.h"

#include <algorithm>
#include <sodium.h>
#include <vector>

namespace sorvo::download {

namespace {

constexpr std::string_view untrustedPrefix = "untrusted comment: ";
constexpr std::string_view trustedPrefix = "trusted comment: ";
// Plain Ed25519: the algorithm of a key, and of the older signatures made over the file itself.
constexpr std::string_view plainAlgorithm = "Ed";
constexpr std::string_view prehashedAlgorithm = "ED";
constexpr std::size_t algorithmSize = 2;

bool inBase64Alphabet(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/' || c == '=';
}

// The whole text as strict base64; nullopt when any character is not part of it. libsodium
// 1.0.18 reads every byte from 0x80 up as '/', so the alphabet is checked here first.
std::optional<std::vector<unsigned char>> fromBase64(std::string_view text) {
    if (!std::ranges::all_of(text, inBase64Alphabet)) return std::nullopt;
    std::vector<unsigned char> bytes(text.size() / 4 * 3 + 3);
    std::size_t size = 0;
    const char* end = nullptr;
    if (sodium_base642bin(bytes.data(), bytes.size(), text.data(), text.size(), nullptr, &size,
                          &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
        end != text.data() + text.size())
        return std::nullopt;
    bytes.resize(size);
    return bytes;
}

template <std::size_t N>
void copyTo(std::array<unsigned char, N>& to, const std::vector<unsigned char>& from,
            std::size_t at) {
    std::copy_n(from.begin() + static_cast<std::ptrdiff_t>(at), N, to.begin());
}

std::string_view algorithmOf(const std::vector<unsigned char>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), algorithmSize};
}

// Splits at line ends; a last line end and a carriage return before each are dropped.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string sizeError(const char* what, std::size_t size, std::size_t expected) {
    return std::string(what) + " has " + std::to_string(size) + " bytes instead of " +
           std::to_string(expected);
}

} // namespace

std::optional<PublicKey> parsePublicKey(std::string_view line) {
    const auto bytes = fromBase64(trimmed(line));
    constexpr std::size_t size = algorithmSize + sizeof(KeyId) + sizeof(Ed25519Key);
    if (!bytes || bytes->size() != size || algorithmOf(*bytes) != plainAlgorithm)
        return std::nullopt;
    PublicKey key;
    copyTo(key.keyId, *bytes, algorithmSize);
    copyTo(key.key, *bytes, algorithmSize + sizeof(KeyId));
    return key;
}

std::variant<SignatureFile, std::string> parseSignatureFile(std::string_view text) {
    std::vector<std::string_view> lines = linesOf(text);
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (lines.size() != 4)
        return "the signature file has " + std::to_string(lines.size()) + " lines instead of 4";
    if (!lines[0].starts_with(untrustedPrefix))
        return std::string("the first line is not an untrusted comment");
    if (!lines[2].starts_with(trustedPrefix))
        return std::string("the third line is not a trusted comment");

    const auto signature = fromBase64(lines[1]);
    if (!signature) return std::string("the signature is not base64");
    constexpr std::size_t signatureSize = algorithmSize + sizeof(KeyId) + sizeof(Ed25519Signature);
    if (signature->size() != signatureSize)
        return sizeError("the signature", signature->size(), signatureSize);
    const std::string_view algorithm = algorithmOf(*signature);
    if (algorithm == plainAlgorithm)
        return std::string("the signature is of the older form that signs the file itself; "
                           "only the prehashed form is accepted");
    if (algorithm != prehashedAlgorithm)
        return "the signature's algorithm \"" + std::string(algorithm) + "\" is not known";

    const auto global = fromBase64(lines[3]);
    if (!global) return std::string("the trusted comment's signature is not base64");
    if (global->size() != sizeof(Ed25519Signature))
        return sizeError("the trusted comment's signature", global->size(),
                         sizeof(Ed25519Signature));

    SignatureFile file;
    copyTo(file.keyId, *signature, algorithmSize);
    copyTo(file.signature, *signature, algorithmSize + sizeof(KeyId));
    file.trustedComment = lines[2].substr(trustedPrefix.size());
    copyTo(file.globalSignature, *global, 0);
    return file;
}

} // namespace sorvo::download
