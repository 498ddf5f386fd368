#pragma once

#include "channels.h"
#include "options.h"

#include <string>
#include <vector>

namespace sorvo::demo {

// Whether the page's player loops a finite stream or plays live streams.
enum class StreamKind { Looped, Live };

// The radio page the main window shows. Its browser is 1200 × 450 but the window shows only
// columns 121–1080 and rows 0–415, the top rows under the window's dark band, so everything
// sits in a centred 940-pixel column between rows 24 and 400. While it plays its bars bounce,
// and its disc turns unless told to stay still.
std::string radioPage(const std::vector<Channel>& channels, DiscMotion disc, StreamKind streams);

} // namespace sorvo::demo
