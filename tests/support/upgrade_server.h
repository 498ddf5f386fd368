#pragma once

#include "config/update_key.h"
#include "config/update_policy.h"
#include "support/loopback_server.h"
#include "support/package_signer.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>

// The product web site and download server for update tests, on a loopback port of its own:
// the upgrade page, and the package at any path under /download/, with an ETag; a request for
// the rest of it ("Range: bytes=N-" with that ETag as If-Range) gets the rest. The package is
// signed as a publisher signs it, as a version newer than the client's, by a key of the server's
// own that the client in this process is set to trust.
class UpgradeServer {
  public:
    static std::string makePackage(std::size_t size) {
        std::string bytes(size, '\0');
        std::uint32_t x = 2463534242u;
        for (char& byte : bytes) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            byte = static_cast<char>(x);
        }
        return bytes;
    }

    const std::string package;
    const sorvo::download::testing::PackageSigner signer;
    const std::string signature;
    const std::string etag = "\"package-1\"";
    // The status the package is answered with; only 200 sends it.
    std::atomic<int> status{200};
    // The next answer sends the package (whatever the status) up to this byte and closes the
    // connection; -1: none.
    std::atomic<std::int64_t> cutNextAt{-1};
    std::atomic<int> packageRequests{0};
    // Answers with the package that ended before all of it went out: the client left them.
    std::atomic<int> packageAnswersLeft{0};
    // 0 sends the package as fast as the connection takes it.
    std::atomic<std::int64_t> bytesPerSecond{0};
    // Each answer holds back at this byte for pauseMs before it sends the rest; -1: never.
    std::atomic<std::int64_t> pauseAt{-1};
    std::atomic<int> pauseMs{0};

    // The update window's page answers 503 while this is set.
    std::atomic<bool> pageDown{false};

    explicit UpgradeServer(std::size_t packageSize = 130000)
        : package(makePackage(packageSize)),
          signature(signer
                        .sign(package, {.trustedComment = "file:索沃电台_升级包.exe version:" +
                                                          sorvo::clientVersion() + ".1"})
                        .text()),
          server_([this](httplib::Server& server) { answer(server); }) {
        sorvo::updatePublicKey() = signer.publicKeyLine();
    }

    QString host() const { return QString::fromStdString(server_.host()); }

    // The package's path as the last request for it carried it, still percent-encoded.
    std::string lastPath() const { return lastPackageRequest().target; }
    // The last package request's Range and If-Range headers; empty when it had none.
    std::string lastRange() const { return lastPackageRequest().range; }
    std::string lastIfRange() const { return lastPackageRequest().ifRange; }

  private:
    void answer(httplib::Server& server) {
        server.Get(R"(/download/.*\.minisig)", [this](const auto&, httplib::Response& res) {
            res.set_content(signature, "text/plain");
        });
        server.Get("/diantai/softpic/soft_v1.0.html", [this](const auto&, httplib::Response& res) {
            if (pageDown) {
                res.status = 503;
                return;
            }
            res.set_content("<body style='background:#223;color:#fc8;font:12px sans-serif'>"
                            "<b>1.1</b> faster start, clearer sound</body>",
                            "text/html; charset=utf-8");
        });
        server.Get(R"(/download/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            ++packageRequests;
            const std::int64_t cut = cutNextAt.exchange(-1);
            sorvo::testing::serve(req, res,
                                  {.body = package,
                                   .status = cut >= 0 ? 200 : status.load(),
                                   .etag = etag,
                                   .needIfRange = true,
                                   .cutAt = cut,
                                   .pauseAt = pauseAt,
                                   .pauseFor = std::chrono::milliseconds(pauseMs.load()),
                                   .bytesPerSecond = bytesPerSecond,
                                   .ended = [this](bool whole) {
                                       if (!whole) ++packageAnswersLeft;
                                   }});
        });
    }

    sorvo::testing::SeenRequest lastPackageRequest() const {
        const auto requests = server_.requests();
        for (auto r = requests.rbegin(); r != requests.rend(); ++r)
            if (r->path.rfind("/download/", 0) == 0 && !r->path.ends_with(".minisig")) return *r;
        return {};
    }

    // Last: it stops serving before what it serves goes.
    sorvo::testing::LoopbackServer server_;
};
