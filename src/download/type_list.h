#pragma once

#include <string_view>

namespace sorvo::download {

// Whether the file name at the end of path ends with one of the "|"-separated endings of list,
// compared without regard to ASCII case. An empty list allows every name.
bool typeAllowed(std::string_view path, std::string_view list);

} // namespace sorvo::download
