#include "artwork.h"

#include "html.h"

#include <array>

namespace sorvo::demo {

namespace {

constexpr std::array labelColours = {"#ff8a1e", "#4fb3a9", "#c8c8c8", "#7a6cf0", "#8fbf4d"};

} // namespace

std::string artworkPath(const Channel& channel) {
    return "/diantai/sorvo/artwork/" + channel.id + ".svg";
}

std::string channelArtwork(std::size_t channelIndex) {
    const Channel& channel = radioChannels().at(channelIndex);
    const std::string colour = labelColours[channelIndex % labelColours.size()];
    return R"(<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
<rect width="256" height="256" rx="24" fill="#262626"/>
<circle cx="128" cy="116" r="92" fill="#151515"/>
<circle cx="128" cy="116" r="76" fill="none" stroke="#2a2a2a" stroke-width="2"/>
<circle cx="128" cy="116" r="58" fill="none" stroke="#2a2a2a" stroke-width="2"/>
<circle cx="128" cy="116" r="34" fill=")" +
           colour + R"("/>
<circle cx="128" cy="116" r="4" fill="#262626"/>
<text x="128" y="236" text-anchor="middle" fill=")" +
           colour + R"(" font-size="22" font-family="Noto Sans CJK SC, sans-serif">)" +
           escapeHtml(channel.name) + "</text>\n</svg>\n";
}

} // namespace sorvo::demo
