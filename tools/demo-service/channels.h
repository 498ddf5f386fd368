#pragma once

#include "music.h"
#include "ranged_resource.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace sorvo::demo {

struct Channel {
    std::string id;          // names its stream: /diantai/sorvo/channel/<id>.wav
    std::string name;        // shown in the channel list
    std::string programme;   // the piece on air
    std::string description; // one line under the piece
    MusicStyle style;
};

const std::vector<Channel>& radioChannels();

std::string streamPath(const Channel& channel);

// Each channel's music is rendered on its first request and kept for later ones.
class ChannelStreams {
  public:
    // How many of a stream's bytes a second of its music takes: 16-bit stereo.
    static std::int64_t bytesPerSecond();

    std::shared_ptr<const RangedResource> stream(std::size_t channelIndex);

    // The channel's loop, played over and over for hours in one WAV body: a broadcast has no end
    // that a player could keep and play again.
    std::shared_ptr<const RangedResource> liveStream(std::size_t channelIndex);

  private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<const RangedResource>> rendered_ =
        std::vector<std::shared_ptr<const RangedResource>>(radioChannels().size());
};

} // namespace sorvo::demo
