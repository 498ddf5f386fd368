#pragma once

#include <cstdint>
#include <string>

namespace sorvo::demo {

// The note about the new version in the update window's 350 × 80 browser; it fits without
// scrolling.
std::string upgradePage(std::int64_t packageSize);

} // namespace sorvo::demo
