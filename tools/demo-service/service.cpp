#include "service.h"

#include "artwork.h"
#include "channels.h"
#include "package.h"
#include "radio_page.h"
#include "site_pages.h"
#include "stream_outage.h"
#include "stream_restart.h"
#include "upgrade_page.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <httplib.h>
#include <iterator>
#include <map>
#include <memory>

namespace sorvo::demo {

namespace {

using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

constexpr const char* htmlType = "text/html; charset=utf-8";
constexpr const char* svgType = "image/svg+xml";

Handler fixedContent(std::string content, const char* type) {
    return
        [content = std::move(content), type](const httplib::Request&, httplib::Response& response) {
            response.set_content(content, type);
        };
}

Handler fixedPage(std::string html) {
    return fixedContent(std::move(html), htmlType);
}

// The radio page, away for the first `droppedSeconds` as if its server were down, so that the
// client's offline page and its recovery can be seen.
Handler radioPageRoute(std::int64_t droppedSeconds, DiscMotion disc, StreamKind streams) {
    const auto backAt = std::chrono::steady_clock::now() + std::chrono::seconds(droppedSeconds);
    return [page = fixedPage(radioPage(radioChannels(), disc, streams)),
            backAt](const httplib::Request& request, httplib::Response& response) {
        if (std::chrono::steady_clock::now() >= backAt) return page(request, response);
        response.status = 503;
        response.set_content(unavailablePage(), htmlType);
    };
}

// The file as it is when the service starts; a file that cannot be read is served as missing.
Handler textFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const bool found = in.is_open();
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return [text = std::move(text), found](const httplib::Request&, httplib::Response& response) {
        if (!found) {
            response.status = 404;
            return;
        }
        response.set_content(text, "text/plain; charset=utf-8");
    };
}

void logRequest(const httplib::Request& request, const httplib::Response& response) {
    // The target as it came, percent-escapes and all: the package's GBK path stays readable.
    const std::string line =
        request.method + " " + request.target + " " + std::to_string(response.status) + "\n";
    std::fputs(line.c_str(), stderr);
}

} // namespace

void installRoutes(httplib::Server& server, const ServiceOptions& options) {
    // httplib's routes are regular expressions; exact paths in a map say plainly what is served
    // and keep the package's raw GBK bytes out of any pattern.
    auto routes = std::make_shared<std::map<std::string, Handler>>();

    (*routes)["/diantai/sorvo/"] =
        radioPageRoute(options.dropRadioPageSeconds, options.disc,
                       options.live() ? StreamKind::Live : StreamKind::Looped);
    (*routes)["/diantai/softpic/soft_v1.0.html"] = fixedPage(upgradePage(options.packageSize));

    auto streams = std::make_shared<ChannelStreams>();
    auto outage =
        options.streamOutageSeconds
            ? std::make_shared<StreamOutage>(std::chrono::seconds(30),
                                             std::chrono::seconds(*options.streamOutageSeconds))
            : std::make_shared<StreamOutage>();
    auto restart =
        options.streamRestartSeconds.value_or(0) > 0
            ? std::make_shared<StreamRestart>(std::chrono::seconds(*options.streamRestartSeconds))
            : std::make_shared<StreamRestart>();
    for (std::size_t i = 0; i < radioChannels().size(); ++i) {
        (*routes)[streamPath(radioChannels()[i])] =
            [streams, i, outage, restart, live = options.live()](const httplib::Request& request,
                                                                 httplib::Response& response) {
                if (outage->down() || restart->refusing()) {
                    response.status = 503;
                    return;
                }
                if (!live) return serveRanged(streams->stream(i), 0, request, response);
                // A few seconds ahead, as a broadcast's buffer would be; what was heard is not
                // kept, so a player that starts again fetches it again.
                const std::int64_t rate = ChannelStreams::bytesPerSecond();
                const auto began = StreamRestart::Clock::now();
                serveLive(
                    streams->liveStream(i), rate, 3 * rate,
                    [outage, restart, began] {
                        if (outage->down()) return LiveCourse::Break;
                        return restart->restartedSince(began) ? LiveCourse::End : LiveCourse::GoOn;
                    },
                    request, response);
            };
        (*routes)[artworkPath(radioChannels()[i])] = fixedContent(channelArtwork(i), svgType);
    }
    (*routes)["/diantai/sorvo/stream-outage"] = [outage](const httplib::Request& request,
                                                         httplib::Response& response) {
        outage->begin(std::chrono::seconds(std::atoi(request.get_param_value("seconds").c_str())));
        response.set_content("down\n", "text/plain");
    };
    (*routes)["/diantai/sorvo/stream-restart"] = [restart](const httplib::Request& request,
                                                           httplib::Response& response) {
        const std::string refuse = request.get_param_value("refuse");
        restart->begin(std::chrono::seconds(refuse.empty() ? 1 : std::atoi(refuse.c_str())));
        response.set_content("restarted\n", "text/plain");
    };

    const auto package = makePackage(options.packageSize);
    const Handler servePackage = [package, rate = options.throttleBytesPerSecond](
                                     const httplib::Request& request, httplib::Response& response) {
        serveRanged(package, rate, request, response);
    };
    (*routes)[packagePathGbk] = servePackage;
    (*routes)[packagePathUtf8] = servePackage;
    if (!options.packageSignature.empty()) {
        const Handler signature = textFile(options.packageSignature);
        (*routes)[packagePathGbk + ".minisig"] = signature;
        (*routes)[packagePathUtf8 + ".minisig"] = signature;
    }

    for (SitePage& page : sitePages(options.tencentPath)) {
        const std::string path = page.path;
        (*routes)[path] = [page = std::move(page)](const httplib::Request& request,
                                                   httplib::Response& response) {
            response.set_content(renderSitePage(page, request.get_param_value("src"),
                                                request.get_header_value("Host")),
                                 htmlType);
        };
    }

    server.Get(".*", [routes](const httplib::Request& request, httplib::Response& response) {
        const auto route = routes->find(request.path);
        if (route == routes->end()) {
            response.status = 404;
            response.set_content(notFoundPage(request.path), htmlType);
            return;
        }
        route->second(request, response);
    });
    server.set_logger(logRequest);
}

} // namespace sorvo::demo
