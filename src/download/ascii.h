#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace sorvo::download {

// Header names and file name endings compare without regard to ASCII case.
inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace sorvo::download
