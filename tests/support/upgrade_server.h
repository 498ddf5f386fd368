#pragma once

#include "config/update_key.h"
#include "config/update_policy.h"
#include "support/package_signer.h"

#include <QString>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <httplib.h>
#include <mutex>
#include <string>
#include <thread>

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
                        .text()) {
        sorvo::updatePublicKey() = signer.publicKeyLine();
        server_.Get(R"(/download/.*\.minisig)", [this](const auto&, httplib::Response& res) {
            res.set_content(signature, "text/plain");
        });
        server_.Get("/diantai/softpic/soft_v1.0.html", [this](const auto&, httplib::Response& res) {
            if (pageDown) {
                res.status = 503;
                return;
            }
            res.set_content("<body style='background:#223;color:#fc8;font:12px sans-serif'>"
                            "<b>1.1</b> faster start, clearer sound</body>",
                            "text/html; charset=utf-8");
        });
        server_.Get(R"(/download/.*)", [this](const httplib::Request& req, httplib::Response& res) {
            {
                std::lock_guard lock(mutex_);
                lastPath_ = req.target;
                lastRange_ = req.get_header_value("Range");
                lastIfRange_ = req.get_header_value("If-Range");
            }
            ++packageRequests;
            const std::int64_t cut = cutNextAt.exchange(-1);
            res.status = cut >= 0 ? 200 : status.load();
            if (res.status != 200) return;
            res.set_header("ETag", etag);
            const std::size_t from = restFrom(req, res);
            res.set_content_provider(
                package.size() - from, "application/x-msdownload",
                [this, from, cut, paused = false](std::size_t offset, std::size_t length,
                                                  httplib::DataSink& sink) mutable {
                    return sendPiece(from + offset, length, cut, sink, paused);
                });
        });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::yield();
    }
    ~UpgradeServer() {
        server_.stop();
        thread_.join();
    }
    UpgradeServer(const UpgradeServer&) = delete;
    UpgradeServer& operator=(const UpgradeServer&) = delete;

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }

    // The package's path as the last request line carried it, still percent-encoded.
    std::string lastPath() const {
        std::lock_guard lock(mutex_);
        return lastPath_;
    }
    // The last request's Range and If-Range headers; empty when it had none.
    std::string lastRange() const {
        std::lock_guard lock(mutex_);
        return lastRange_;
    }
    std::string lastIfRange() const {
        std::lock_guard lock(mutex_);
        return lastIfRange_;
    }

  private:
    // Where the answer starts: the requested byte for a request for the rest of this package
    // (a 206), else 0.
    std::size_t restFrom(const httplib::Request& req, httplib::Response& res) const {
        // The library would otherwise cut the answer to the requested range a second time.
        const_cast<httplib::Request&>(req).ranges.clear();
        const std::string range = req.get_header_value("Range");
        if (range.rfind("bytes=", 0) != 0 || req.get_header_value("If-Range") != etag) return 0;
        const std::size_t from = std::strtoull(range.c_str() + 6, nullptr, 10);
        if (from >= package.size()) return 0;
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(from) + "-" +
                                            std::to_string(package.size() - 1) + "/" +
                                            std::to_string(package.size()));
        return from;
    }

    // Pieces of a tenth of a second's worth under a rate, so the rate holds evenly; `paused`
    // belongs to one answer. offset is the position in the package.
    bool sendPiece(std::size_t offset, std::size_t length, std::int64_t cut,
                   httplib::DataSink& sink, bool& paused) {
        if (cut >= 0 && offset >= static_cast<std::size_t>(cut)) return false;
        const std::int64_t rate = bytesPerSecond;
        std::size_t piece = length;
        const std::int64_t pause = pauseAt;
        if (pause >= 0 && !paused) {
            const auto at = static_cast<std::size_t>(pause);
            if (offset == at) {
                paused = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs.load()));
            } else if (offset < at) {
                piece = std::min(piece, at - offset);
            }
        }
        if (rate > 0) {
            piece = std::min(piece, static_cast<std::size_t>(std::max<std::int64_t>(rate / 10, 1)));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        if (cut >= 0) piece = std::min(piece, static_cast<std::size_t>(cut) - offset);
        return sink.write(package.data() + offset, piece);
    }

    httplib::Server server_;
    mutable std::mutex mutex_;
    std::string lastPath_;
    std::string lastRange_;
    std::string lastIfRange_;
    int port_ = 0;
    std::thread thread_;
};
