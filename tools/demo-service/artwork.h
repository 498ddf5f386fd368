#pragma once

#include "channels.h"

#include <string>

namespace sorvo::demo {

// Each channel's cover, which the radio page hands to the Media Session: a record with a label
// in the channel's own colour and its name, 256 × 256, as SVG.
std::string artworkPath(const Channel& channel);
std::string channelArtwork(std::size_t channelIndex);

} // namespace sorvo::demo
