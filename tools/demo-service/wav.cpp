#include "wav.h"

namespace sorvo::demo {

namespace {

void appendLittleEndian(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::string wavFile(const StereoPcm& pcm) {
    constexpr std::uint32_t channels = 2;
    constexpr std::uint32_t bytesPerSample = 2;
    const auto dataBytes = static_cast<std::uint32_t>(pcm.samples.size() * bytesPerSample);
    const auto rate = static_cast<std::uint32_t>(pcm.sampleRate);

    std::string file;
    file.reserve(44 + dataBytes);
    file += "RIFF";
    appendLittleEndian(file, 36 + dataBytes, 4);
    file += "WAVEfmt ";
    appendLittleEndian(file, 16, 4);
    appendLittleEndian(file, 1, 2); // PCM
    appendLittleEndian(file, channels, 2);
    appendLittleEndian(file, rate, 4);
    appendLittleEndian(file, rate * channels * bytesPerSample, 4);
    appendLittleEndian(file, channels * bytesPerSample, 2);
    appendLittleEndian(file, 8 * bytesPerSample, 2);
    file += "data";
    appendLittleEndian(file, dataBytes, 4);
    for (std::int16_t sample : pcm.samples)
        appendLittleEndian(file, static_cast<std::uint16_t>(sample), 2);
    return file;
}

} // namespace sorvo::demo
