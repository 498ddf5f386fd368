#pragma once

#include "music.h"

#include <string>

namespace sorvo::demo {

// A complete 16-bit PCM WAV file (RIFF header, fmt and data chunks).
std::string wavFile(const StereoPcm& pcm);

} // namespace sorvo::demo
