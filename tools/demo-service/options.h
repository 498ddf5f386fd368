#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace sorvo::demo {

// Whether the radio page's disc turns while it plays. A still disc lets a benchmark tell the
// cost of composing a turning layer from the cost of the rest of the page.
enum class DiscMotion { Turning, Still };

struct ServiceOptions {
    int port = 8765; // 0 lets the system pick a free port
    std::int64_t packageSize = 24 * 1024 * 1024;
    std::int64_t throttleBytesPerSecond = 0; // 0 serves the package at full speed
    std::int64_t parentPid = 0; // when that process, the parent, ends, so does the service
    std::string tencentPath = "/sorvoradio";
    // For this many seconds after the start the radio page answers 503, as if it were down.
    std::int64_t dropRadioPageSeconds = 0;
    // When set, the channel streams play live, and half a minute after the start they are cut
    // and refused for this many seconds.
    std::optional<std::int64_t> streamOutageSeconds;
    // When set, the channel streams play live, and every this many seconds (from as long after
    // the start; 0: never by themselves) they end cleanly and are refused for a second, as a
    // server that restarts.
    std::optional<std::int64_t> streamRestartSeconds;
    DiscMotion disc = DiscMotion::Turning;
    std::string packageSignature; // file served as "<package path>.minisig"; empty: none
    std::string writePackage;     // write the package to this file and stop instead of serving

    bool live() const { return streamOutageSeconds || streamRestartSeconds; }
};

struct OptionsError {
    std::string message;
};

// Reads the command line (without the program name); unknown options and bad numbers are errors.
std::variant<ServiceOptions, OptionsError> parseOptions(const std::vector<std::string>& args);

extern const char* const usageText;

} // namespace sorvo::demo
