#pragma once

#include "download/failure.h"

#include <optional>
#include <string>
#include <string_view>

namespace sorvo::download {

// What the signature's trusted comment must say for the package to be the one asked for: its
// file name and a version newer than the client's own.
struct ExpectedPackage {
    std::string fileName;
    std::string olderThan; // the client's own version, dotted numbers
};

// Whether the dotted numbers a are greater than b, compared part by part with missing parts
// read as 0; nullopt when either is not dotted numbers.
std::optional<bool> newerVersion(std::string_view a, std::string_view b);

// Reads the comment's space- or tab-separated "key:value" fields, ignoring those of other
// names; nothing when "file:" and "version:" name the expected package, else why not.
std::optional<Failure> checkTrustedComment(std::string_view comment,
                                           const ExpectedPackage& expected);

} // namespace sorvo::download
