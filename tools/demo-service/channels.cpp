#include "channels.h"

#include "wav.h"

#include <algorithm>

namespace sorvo::demo {

namespace {

std::vector<int> scaleOf(int root, std::initializer_list<int> steps, int lowest, int highest) {
    std::vector<int> notes;
    for (int octave = root - 36; octave <= highest; octave += 12)
        for (int step : steps)
            if (octave + step >= lowest && octave + step <= highest) notes.push_back(octave + step);
    std::sort(notes.begin(), notes.end());
    return notes;
}

constexpr std::initializer_list<int> majorPentatonic = {0, 2, 4, 7, 9};
constexpr std::initializer_list<int> minorPentatonic = {0, 3, 5, 7, 10};

std::vector<Channel> makeChannels() {
    std::vector<Channel> channels;
    channels.push_back(
        {"pop",
         "华语流行",
         {"晨光里的歌", "街角的咖啡馆", "夏日汽水", "纸飞机"},
         "明亮的拨弦与八音盒，适合清晨",
         MusicStyle{
             80,
             false,
             true,
             true,
             Timbre::Pluck,
             Timbre::MusicBox,
             {{36, {60, 64, 67}}, {43, {59, 62, 67}}, {45, {57, 60, 64}}, {41, {57, 60, 65}}},
             scaleOf(60, majorPentatonic, 67, 86),
             11}});
    channels.push_back({"light",
                        "轻音乐",
                        {"午后的风", "窗边的猫", "云朵慢慢走", "湖面"},
                        "柔和的电钢琴与长笛，放松片刻",
                        MusicStyle{72,
                                   false,
                                   true,
                                   false,
                                   Timbre::ElectricPiano,
                                   Timbre::Flute,
                                   {{41, {53, 57, 60, 64}},
                                    {38, {53, 57, 60, 62}},
                                    {43, {53, 55, 58, 62}},
                                    {36, {52, 55, 58, 60}}},
                                   scaleOf(65, majorPentatonic, 65, 84),
                                   23}});
    channels.push_back({"piano",
                        "钢琴小品",
                        {"雨后", "旧信", "月光下的小镇", "落叶"},
                        "一架钢琴，八个和弦，慢慢走",
                        MusicStyle{66,
                                   false,
                                   false,
                                   true,
                                   Timbre::Piano,
                                   Timbre::Piano,
                                   {{43, {55, 59, 62}},
                                    {38, {54, 57, 62}},
                                    {40, {55, 59, 64}},
                                    {47, {54, 59, 62}},
                                    {36, {55, 60, 64}},
                                    {43, {55, 59, 62}},
                                    {36, {55, 60, 64}},
                                    {38, {54, 57, 62}}},
                                   scaleOf(67, majorPentatonic, 67, 88),
                                   37}});
    channels.push_back({"jazz",
                        "爵士夜色",
                        {"城市夜曲", "午夜电车", "霓虹与雨", "最后一杯"},
                        "摇摆的节奏，夜色中的电钢琴",
                        MusicStyle{76,
                                   true,
                                   true,
                                   false,
                                   Timbre::ElectricPiano,
                                   Timbre::ElectricPiano,
                                   {{38, {53, 57, 60, 64}},
                                    {43, {53, 59, 64}},
                                    {36, {52, 55, 59, 62}},
                                    {45, {55, 61, 64}}},
                                   scaleOf(62, minorPentatonic, 69, 86),
                                   41}});
    channels.push_back(
        {"folk",
         "民谣时光",
         {"远方的小路", "麦田", "老火车站", "回家的路"},
         "木吉他般的拨弦，一支轻快的小调",
         MusicStyle{
             92,
             false,
             true,
             true,
             Timbre::Pluck,
             Timbre::Flute,
             {{45, {57, 60, 64}}, {41, {57, 60, 65}}, {36, {55, 60, 64}}, {43, {55, 59, 62}}},
             scaleOf(69, minorPentatonic, 69, 86),
             53}});
    return channels;
}

} // namespace

const std::vector<Channel>& radioChannels() {
    static const std::vector<Channel> channels = makeChannels();
    return channels;
}

std::string streamPath(const Channel& channel) {
    return "/diantai/sorvo/channel/" + channel.id + ".wav";
}

std::int64_t ChannelStreams::bytesPerSecond() {
    return std::int64_t{musicSampleRate()} * 2 * 2;
}

ChannelStreams::ChannelStreams()
    : onTheAir_([this](std::stop_token stop) {
          for (std::size_t i = 0; i < rendered_.size() && !stop.stop_requested(); ++i)
              stream(i);
      }) {}

std::shared_ptr<const RangedResource> ChannelStreams::stream(std::size_t channelIndex) {
    Rendered& rendered = rendered_.at(channelIndex);
    std::call_once(rendered.once, [&] {
        const Channel& channel = radioChannels()[channelIndex];
        auto file = std::make_shared<const std::string>(wavFile(renderLoop(channel.style)));
        auto resource = std::make_shared<RangedResource>();
        resource->size = static_cast<std::int64_t>(file->size());
        resource->contentType = "audio/wav";
        resource->etag = "\"channel-" + channel.id + "-" + std::to_string(file->size()) + "\"";
        resource->lastModified = "Mon, 01 Jun 2015 08:00:00 GMT";
        resource->read = [file](std::int64_t offset, std::span<char> out) {
            std::copy_n(file->data() + offset, out.size(), out.data());
        };
        rendered.stream = std::move(resource);
    });
    return rendered.stream;
}

EndlessBody ChannelStreams::liveStream(std::size_t channelIndex) {
    constexpr std::int64_t headerSize = 44;
    const auto loop = stream(channelIndex);
    const std::int64_t music = loop->size - headerSize;
    auto header = std::make_shared<std::string>(headerSize, '\0');
    loop->read(0, *header);
    // The largest sizes say "unknown", as from a recorder that is still going.
    for (const std::size_t at : {4, 40})
        std::fill_n(header->begin() + static_cast<std::ptrdiff_t>(at), 4, '\xff');

    return {loop->contentType, [loop, header, music](std::int64_t offset, std::span<char> out) {
                for (std::size_t done = 0; done < out.size();) {
                    const std::int64_t at = offset + static_cast<std::int64_t>(done);
                    std::span<char> rest = out.subspan(done);
                    if (at < headerSize) {
                        const auto n = std::min<std::size_t>(rest.size(), headerSize - at);
                        std::copy_n(header->data() + at, n, rest.data());
                        done += n;
                        continue;
                    }
                    const std::int64_t inLoop = (at - headerSize) % music;
                    const auto n = std::min<std::size_t>(rest.size(), music - inLoop);
                    loop->read(headerSize + inLoop, rest.first(n));
                    done += n;
                }
            }};
}

} // namespace sorvo::demo
