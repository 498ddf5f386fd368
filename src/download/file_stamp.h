#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <sys/types.h>

namespace sorvo::download {

// Which file stands at a name and how it was last left: a file with the same stamp is the same
// file, of the same size, not written since.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    int64_t size = 0;
    timespec modified{};

    bool operator==(const FileStamp& other) const;
};

// The stamp of an open file; nullopt when it cannot be read.
std::optional<FileStamp> stampOf(int fd);

// The stamp of the plain file at path, never following a link; nullopt when anything else, or
// nothing, stands there.
std::optional<FileStamp> stampOfPlainFile(const std::string& path);

} // namespace sorvo::download
