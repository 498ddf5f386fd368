#pragma once

#include "live_stream.h"
#include "music.h"
#include "ranged_resource.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sorvo::demo {

struct Channel {
    std::string id;   // names its stream: /diantai/sorvo/channel/<id>.wav
    std::string name; // shown in the channel list
    // The songs on air in turn, one to each play of the channel's loop; the first comes first
    // whenever the channel is tuned in.
    std::vector<std::string> songs;
    std::string description; // one line under the piece
    MusicStyle style;
};

const std::vector<Channel>& radioChannels();

std::string streamPath(const Channel& channel);

// Each channel's music is rendered once and kept. A thread renders them all from the start, as a
// broadcast is on the air before anyone tunes in; a request for a channel not yet rendered renders
// it at once, or waits for the thread that is rendering it.
class ChannelStreams {
  public:
    ChannelStreams();

    // How many of a stream's bytes a second of its music takes: 16-bit stereo.
    static std::int64_t bytesPerSecond();

    std::shared_ptr<const RangedResource> stream(std::size_t channelIndex);

    // The channel's loop, played over and over without end in one WAV body of unknown size: a
    // broadcast has no end that a player could keep and play again.
    EndlessBody liveStream(std::size_t channelIndex);

  private:
    struct Rendered {
        std::once_flag once;
        std::shared_ptr<const RangedResource> stream;
    };

    std::vector<Rendered> rendered_ = std::vector<Rendered>(radioChannels().size());
    std::jthread onTheAir_; // last: stops and ends before the streams go
};

} // namespace sorvo::demo
