#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sorvo::download {

// Which file stands at a name and how it was last left: a file with the same identity is the
// same file, of the same size, not written since. Used to tell that a kept part file is still
// the one put aside, and that the package at its final name is still the one that was verified.
struct FileIdentity {
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0; // last modification, in nanoseconds since the epoch

    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open file; nullopt when it cannot be read.
std::optional<FileIdentity> identityOf(int fd);

// The identity of the plain file at path, never following a link; nullopt when a link or
// anything else but a plain file, or nothing, stands there.
std::optional<FileIdentity> identityOf(const std::string& path);

} // namespace sorvo::download
