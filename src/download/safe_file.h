#pragma once

#include <string>
#include <system_error>

namespace sorvo::download {

// Why a name in the target's folder may not be written or replaced: something other than a
// plain file of the user's own stands there. Errors of their own category.
enum class UnsafeTarget {
    Link = 1,     // a symbolic link, dangling or not
    NotPlainFile, // a FIFO, a folder, a device or a socket
    ForeignOwner, // a file of another user
    OtherNames,   // a file that is also known under another name
    Replaced,     // the name came to mean another file while it was being opened
};

std::error_code make_error_code(UnsafeTarget problem);
const std::error_category& unsafeTargetCategory();

// Opens or creates path for reading and writing without following a link and without
// blocking, and checks that it is a plain file of the user's own with no other name. Returns
// the descriptor in fd.
std::error_code openPlainFile(const std::string& path, int& fd);

// Whether fd is still the file at path.
std::error_code stillAt(int fd, const std::string& path);

// Whether path may be replaced: nothing is there, or a plain file of the user's own.
std::error_code replaceable(const std::string& path);

} // namespace sorvo::download

template <> struct std::is_error_code_enum<sorvo::download::UnsafeTarget> : std::true_type {};
