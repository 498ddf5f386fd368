#include "download/downloader.h"
#include "download/job.h"
#include "download/transfer.h"
#include "eventually.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "test_settings.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>

namespace sorvo::download::testing {
namespace {

namespace fs = std::filesystem;
using Kinds = std::vector<int32_t>;
using std::chrono::milliseconds;

constexpr int64_t cut = 1024 * 1024 + 5;

TEST(Resume, CutConnectionContinuesFromTheBytesOnDisk) {
    const std::string package = makePackage(3 * 1024 * 1024);
    std::atomic<int> served = 0;
    PackageServer server([&](httplib::Server& s) {
        s.Get("/etag.exe", [&](const auto& req, auto& res) {
            serve(req, res, {.body = package, .etag = "\"v1\"", .cutAt = ++served == 1 ? cut : -1});
        });
        s.Get("/plain.exe", [&](const auto& req, auto& res) {
            serve(req, res, {.body = package, .cutAt = ++served == 1 ? cut : -1});
        });
    });
    ScratchFolder folder;
    HookRecorder hooks;
    HookRecorder unguarded;
    Downloader downloader;

    DownloadSettings settings = quickSettings(server.url("/etag.exe"), folder.file("a.exe"), hooks);
    ASSERT_TRUE(runToEnd(downloader, settings, hooks));
    EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, Retrying, Finished}));
    EXPECT_EQ(hooks.events()[1].bytes, cut);
    EXPECT_EQ(bytesDone(downloader), static_cast<int64_t>(package.size()));
    EXPECT_TRUE(readFile(folder.file("a.exe")) == package);
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].range, "");
    EXPECT_EQ(requests[1].range, "bytes=" + std::to_string(cut) + "-");
    EXPECT_EQ(requests[1].ifRange, "\"v1\"");

    // Without a validator the rest could belong to another package: start over instead.
    served = 0;
    settings = quickSettings(server.url("/plain.exe"), folder.file("b.exe"), unguarded);
    ASSERT_TRUE(runToEnd(downloader, settings, unguarded));
    EXPECT_EQ(unguarded.kinds(), (Kinds{SizeKnown, Retrying, Finished}));
    EXPECT_TRUE(readFile(folder.file("b.exe")) == package);
    requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[3].range, "");
}

TEST(Resume, PackageChangedOnTheServerStartsOver) {
    const std::string oldPackage = makePackage(2 * 1024 * 1024, 1);
    const std::string newPackage = makePackage(2 * 1024 * 1024 + 300, 2);
    std::atomic<int> served = 0;
    PackageServer server([&](httplib::Server& s) {
        s.Get("/pkg.exe", [&](const auto& req, auto& res) {
            if (++served == 1)
                serve(req, res, {.body = oldPackage, .etag = "\"old\"", .cutAt = cut});
            else
                serve(req, res, {.body = newPackage, .etag = "\"new\""});
        });
        // Answers a range with a part from somewhere else.
        s.Get("/skewed.exe", [&](const auto& req, auto& res) {
            if (++served > 1 && req.has_header("Range")) {
                res.status = 206;
                res.set_header("ETag", "\"old\"");
                res.set_header("Content-Range", "bytes 0-" + std::to_string(oldPackage.size() - 1) +
                                                    "/" + std::to_string(oldPackage.size()));
                const_cast<httplib::Request&>(req).ranges.clear();
                res.set_content(oldPackage, "application/octet-stream");
                return;
            }
            serve(req, res,
                  {.body = oldPackage, .etag = "\"old\"", .cutAt = served == 1 ? cut : -1});
        });
    });
    ScratchFolder folder;
    HookRecorder hooks;
    HookRecorder skewed;
    Downloader downloader;

    DownloadSettings settings = quickSettings(server.url("/pkg.exe"), folder.file("a.exe"), hooks);
    ASSERT_TRUE(runToEnd(downloader, settings, hooks));
    EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, Retrying, SizeKnown, Finished}));
    EXPECT_EQ(hooks.events()[2].bytes, static_cast<int64_t>(newPackage.size()));
    EXPECT_EQ(bytesDone(downloader), static_cast<int64_t>(newPackage.size()));
    EXPECT_TRUE(readFile(folder.file("a.exe")) == newPackage);
    EXPECT_EQ(server.requests()[1].ifRange, "\"old\"");

    served = 0;
    settings = quickSettings(server.url("/skewed.exe"), folder.file("b.exe"), skewed);
    ASSERT_TRUE(runToEnd(downloader, settings, skewed));
    EXPECT_EQ(skewed.kinds(), (Kinds{SizeKnown, Retrying, Retrying, Finished}));
    EXPECT_TRUE(readFile(folder.file("b.exe")) == oldPackage);
    const auto requests = server.requests();
    EXPECT_EQ(requests.back().range, "") << "after a part that does not fit, start over";
}

TEST(Resume, ConnectionLostForGoodIsNeverAnnouncedAsFinished) {
    const std::string package = makePackage(512 * 1024);
    PackageServer server([&](httplib::Server& s) {
        s.Get("/cut.exe", [&](const auto& req, auto& res) {
            serve(req, res, {.body = package, .etag = "\"v1\"", .cutAt = 100 * 1024});
        });
        s.Get("/busy.exe", [](const auto&, auto& res) { res.status = 503; });
    });
    ScratchFolder folder;
    HookRecorder hooks;
    HookRecorder busy;
    Downloader downloader;

    DownloadSettings settings = quickSettings(server.url("/cut.exe"), folder.file("a.exe"), hooks);
    settings.maxRetries = 2;
    const auto end = runToEnd(downloader, settings, hooks);
    ASSERT_TRUE(end);
    EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, Retrying, Retrying, Failed}));
    EXPECT_EQ(end->reason, MessageCode::ConnectionLost);
    EXPECT_EQ(server.requests().size(), 3u);
    EXPECT_FALSE(fs::exists(folder.file("a.exe")));
    EXPECT_TRUE(readFile(folder.file("a.exe.part")) == package.substr(0, 100 * 1024))
        << "kept for the next start to resume";

    // With retries to spare, a server that sends nothing still fails once the window closes.
    settings = quickSettings(server.url("/busy.exe"), folder.file("b.exe"), busy);
    settings.maxRetries = 999999999;
    settings.retryWindowMs = 600;
    settings.retryDelayMs = 100;
    startDownload(downloader, settings);
    const auto busyEnd = busy.waitForEnd(milliseconds(10000));
    ASSERT_TRUE(busyEnd);
    EXPECT_EQ(busyEnd->kind, Failed);
    EXPECT_EQ(busy.messages().back().httpStatus, 503);
    EXPECT_FALSE(fs::exists(folder.file("b.exe")));
    EXPECT_FALSE(fs::exists(folder.file("a.exe.part"))) << "this start went elsewhere";
}

TEST(Resume, StalledServerTimesOutAndTheRetryResumes) {
    const std::string package = makePackage(256 * 1024);
    constexpr int64_t stallAt = 64 * 1024;
    std::atomic<int> served = 0;
    PackageServer server([&](httplib::Server& s) {
        s.Get("/pkg.exe", [&](const auto& req, auto& res) {
            if (++served == 1)
                serve(req, res,
                      {.body = package,
                       .etag = "\"v1\"",
                       .pauseAt = stallAt,
                       .pauseFor = milliseconds(2500)});
            else
                serve(req, res, {.body = package, .etag = "\"v1\""});
        });
    });
    ScratchFolder folder;
    HookRecorder stalled;
    HookRecorder resumed;
    Downloader downloader;

    DownloadSettings settings =
        quickSettings(server.url("/pkg.exe"), folder.file("a.exe"), stalled);
    settings.noDataTimeoutMs = 300;
    settings.maxRetries = 0;
    const auto end = runToEnd(downloader, settings, stalled);
    ASSERT_TRUE(end);
    // Had the server's pause ended the wait, the package would have come whole.
    EXPECT_EQ(end->kind, Failed);
    EXPECT_EQ(end->reason, MessageCode::ConnectionLost);
    EXPECT_FALSE(fs::exists(folder.file("a.exe")));

    served = 0;
    settings = quickSettings(server.url("/pkg.exe"), folder.file("b.exe"), resumed);
    settings.noDataTimeoutMs = 300;
    settings.maxRetries = 1;
    ASSERT_TRUE(runToEnd(downloader, settings, resumed));
    EXPECT_EQ(resumed.kinds(), (Kinds{SizeKnown, Retrying, Finished}));
    EXPECT_TRUE(readFile(folder.file("b.exe")) == package);
    EXPECT_EQ(server.requests().back().range, "bytes=" + std::to_string(stallAt) + "-");
}

// A server that sends a byte now and then never falls silent; a trickle below the limit over a
// whole span counts as a stall all the same, and as silence for the retry window. The span is
// shortened here from the minute the component uses.
TEST(Resume, ATrickleCountsAsAStall) {
    std::atomic<int> left = 0;
    PackageServer server([&left](httplib::Server& s) {
        s.Get("/pkg.exe", [&left](const auto& req, auto& res) {
            serve(req, res,
                  {.body = makePackage(4096),
                   .etag = "\"v1\"",
                   .byteEvery = milliseconds(50),
                   .ended = [&left](bool whole) { left += whole ? 0 : 1; }});
        });
    });
    ScratchFolder folder;
    const LowSpeedLimit limit{.bytesPerSecond = 1024, .span = std::chrono::seconds(1)};

    HookRecorder silent;
    DownloadSettings settings = quickSettings(server.url("/pkg.exe"), folder.file("a.exe"), silent);
    settings.retryWindowMs = 500;
    Job job;
    Transfer(settings, job, limit).run();
    // Each attempt left its trickle, which would take over three minutes to the end.
    EXPECT_TRUE(
        eventually([&] { return left.load() == static_cast<int>(server.requests().size()); }));
    EXPECT_EQ(silent.kinds(), (Kinds{SizeKnown, Failed}));
    EXPECT_EQ(silent.events().back().reason, MessageCode::ConnectionLost);
    EXPECT_NE(silent.messages().back().text.find("less than 1024 bytes a second"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(folder.file("a.exe")));

    // Where the retry window is wider than the span, the trickle is retried, resuming.
    HookRecorder retried;
    settings = quickSettings(server.url("/pkg.exe"), folder.file("b.exe"), retried);
    settings.maxRetries = 1;
    Job again;
    Transfer(settings, again, limit).run();
    EXPECT_EQ(retried.kinds(), (Kinds{SizeKnown, Retrying, Failed}));
    EXPECT_NE(server.requests().back().range, "");
}

} // namespace
} // namespace sorvo::download::testing
