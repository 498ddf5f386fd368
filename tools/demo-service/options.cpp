#include "options.h"

#include <charconv>
#include <optional>

namespace sorvo::demo {

const char* const usageText =
    "usage: sorvo-demo-service [--port N] [--package-size BYTES] [--throttle BYTES_PER_SECOND]\n"
    "                          [--tencent-path PATH] [--parent-pid PID]\n"
    "                          [--drop-radio-page SECONDS] [--stream-outage SECONDS]\n"
    "                          [--stream-restart SECONDS]\n"
    "                          [--disc turning|still]\n"
    "                          [--package-signature FILE] [--write-package FILE]\n"
    "  --port N             port on 127.0.0.1 (default 8765; 0 picks a free one)\n"
    "  --package-size N     size of the upgrade package in bytes (default 25165824)\n"
    "  --throttle N         cap on the package's transfer rate in bytes per second (0: none)\n"
    "  --tencent-path PATH  path of the account page the tray menu opens (default /sorvoradio)\n"
    "  --parent-pid PID     stop when process PID, the one that started the service, ends\n"
    "  --drop-radio-page N  the radio page is unavailable (503) for the first N seconds\n"
    "  --stream-outage N    the streams go out live, at their playing rate; 30 s after the start\n"
    "                       they are cut and refused (503) for N seconds (0: never). GET\n"
    "                       /diantai/sorvo/stream-outage?seconds=N cuts them for N seconds now\n"
    "  --stream-restart N   the streams go out live, with no length; every N seconds they end\n"
    "                       cleanly and are refused (503) for a second (0: never). GET\n"
    "                       /diantai/sorvo/stream-restart?refuse=S does so now, refusing for S\n"
    "                       seconds (default 1)\n"
    "  --disc still         the radio page's disc stays still while it plays (default: turning)\n"
    "  --package-signature FILE  serve FILE as the package's signature, at its path + .minisig\n"
    "  --write-package FILE      write the package (of --package-size) to FILE and stop, so\n"
    "                            that it can be signed\n";

namespace {

std::optional<std::int64_t> parseCount(const std::string& text, std::int64_t max) {
    std::int64_t value = 0;
    const auto* end = text.data() + text.size();
    auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < 0 || value > max) return std::nullopt;
    return value;
}

} // namespace

std::variant<ServiceOptions, OptionsError> parseOptions(const std::vector<std::string>& args) {
    ServiceOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name != "--port" && name != "--package-size" && name != "--throttle" &&
            name != "--tencent-path" && name != "--parent-pid" && name != "--drop-radio-page" &&
            name != "--stream-outage" && name != "--stream-restart" &&
            name != "--package-signature" && name != "--write-package" && name != "--disc")
            return OptionsError{"unknown option " + name};
        if (i + 1 == args.size()) return OptionsError{name + " needs a value"};
        const std::string& value = args[++i];

        if (name == "--package-signature" || name == "--write-package") {
            if (value.empty()) return OptionsError{name + " needs a file name"};
            (name == "--package-signature" ? options.packageSignature : options.writePackage) =
                value;
            continue;
        }

        if (name == "--disc") {
            if (value != "turning" && value != "still")
                return OptionsError{"--disc is turning or still, not " + value};
            options.disc = value == "still" ? DiscMotion::Still : DiscMotion::Turning;
            continue;
        }

        if (name == "--tencent-path") {
            if (value.empty() || value.front() != '/')
                return OptionsError{"--tencent-path must begin with /"};
            options.tencentPath = value;
            continue;
        }
        const std::int64_t max = name == "--port"              ? 65535
                                 : name == "--parent-pid"      ? INT32_MAX
                                 : name == "--drop-radio-page" ? 24 * 3600
                                 : name == "--stream-outage"   ? 24 * 3600
                                 : name == "--stream-restart"  ? 24 * 3600
                                                               : INT64_MAX / 2;
        const auto number = parseCount(value, max);
        if (!number) return OptionsError{"bad value for " + name + ": " + value};
        if (name == "--port")
            options.port = static_cast<int>(*number);
        else if (name == "--parent-pid")
            options.parentPid = *number;
        else if (name == "--drop-radio-page")
            options.dropRadioPageSeconds = *number;
        else if (name == "--stream-outage")
            options.streamOutageSeconds = *number;
        else if (name == "--stream-restart")
            options.streamRestartSeconds = *number;
        else if (name == "--package-size")
            options.packageSize = *number;
        else
            options.throttleBytesPerSecond = *number;
    }
    return options;
}

} // namespace sorvo::demo
