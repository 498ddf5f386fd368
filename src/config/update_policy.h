#pragma once

#include <cstdint>
#include <string>

// What the client accepts as an upgrade package, fixed when it is built.
namespace sorvo {

// The client's own version, from the project's: a package must be signed as newer.
std::string clientVersion();

// Whether a build without an update key starts packages that nothing checked
// (SORVO_ALLOW_UNSIGNED_UPDATES).
bool allowUnsignedUpdates();

// The largest package accepted, in bytes (SORVO_UPDATE_MAX_BYTES).
int64_t updateMaxBytes();

} // namespace sorvo
