#pragma once

#include <string>

namespace sorvo {

// The publisher's public key that upgrade packages must be signed with, as the download
// settings take it; empty when the client was built without one. Fixed when the client is built
// (SORVO_UPDATE_PUBLIC_KEY); tests may set it in-process.
std::string& updatePublicKey();

} // namespace sorvo
