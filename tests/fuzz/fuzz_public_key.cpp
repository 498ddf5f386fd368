// The publisher's key line: an accepted key is exactly the base64 of "Ed", its key id and its
// key, with nothing else on the line but blanks around it.
#include "download/ascii.h"
#include "download/minisign_format.h"
#include "property.h"

using namespace sorvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view line = fuzz::textOf(data, size);
    const auto key = download::parsePublicKey(line);
    if (!key) return 0;
    std::string bytes = "Ed";
    bytes.append(key->keyId.begin(), key->keyId.end());
    bytes.append(key->key.begin(), key->key.end());
    fuzz::require(fuzz::base64Of(bytes) == download::trimmed(line),
                  "an accepted key encodes back to its line");
    return 0;
}
