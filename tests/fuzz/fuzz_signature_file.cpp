// The signature file from the download server: what is accepted encodes back to the lines it
// came from and reads the same once written again; the check against a key of ours then refuses
// it, since nobody without the secret key can sign.
#include "download/minisign_format.h"
#include "download/signature_check.h"
#include "property.h"

using namespace sorvo;

namespace {

std::string signatureLine(const download::SignatureFile& file) {
    std::string bytes = "ED";
    bytes.append(file.keyId.begin(), file.keyId.end());
    bytes.append(file.signature.begin(), file.signature.end());
    return fuzz::base64Of(bytes);
}

bool sameFile(const download::SignatureFile& a, const download::SignatureFile& b) {
    return a.keyId == b.keyId && a.signature == b.signature &&
           a.trustedComment == b.trustedComment && a.globalSignature == b.globalSignature;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return sodium_init() < 0 ? 1 : 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::textOf(data, size);
    const auto parsed = download::parseSignatureFile(text);
    const auto* file = std::get_if<download::SignatureFile>(&parsed);
    if (!file) return 0;
    const std::string signature = signatureLine(*file);
    const std::string global = fuzz::base64Of(file->globalSignature);
    fuzz::require(text.find(signature) != std::string_view::npos,
                  "the accepted signature encodes back to its line");
    fuzz::require(text.find(global) != std::string_view::npos,
                  "the accepted global signature encodes back to its line");
    const std::string again = "untrusted comment: again\r\n" + signature +
                              "\r\ntrusted comment: " + file->trustedComment + "\r\n" + global +
                              "\r\n";
    const auto reread = download::parseSignatureFile(again);
    const auto* same = std::get_if<download::SignatureFile>(&reread);
    fuzz::require(same && sameFile(*same, *file), "the file written again reads the same");

    const download::PublicKey key{.keyId = file->keyId, .key = {1}};
    const auto check = download::SignatureCheck::prepare(key, *file, {"pkg.exe", "1.0"});
    fuzz::require(std::holds_alternative<download::Failure>(check),
                  "a signature nobody made with the key is refused");
    return 0;
}
