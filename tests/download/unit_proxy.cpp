// Behind a proxy, the package server's own answer is the one that counts, not the proxy's
// "Connection established": the size is known, a cut transfer resumes with a range and a
// package over the cap is refused before a byte of it is written, as without the proxy.
#include "download/downloader.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "support/connect_proxy.h"
#include "support/test_authority.h"
#include "test_settings.h"

#include <atomic>
#include <gtest/gtest.h>
#include <httplib.h>
#include <mutex>
#include <stdlib.h>
#include <thread>

namespace sorvo::download::testing {
namespace {

using Kinds = std::vector<int32_t>;

TEST(Proxy, ThePackageServersHeadCountsNotTheProxys) {
    ScratchFolder folder;
    const TestAuthority authority(folder.path(), "proxied");
    ASSERT_TRUE(authority.made) << "the openssl command could not make the certificates";
    const std::string package = makePackage(2 * 1024 * 1024 + 7);
    constexpr int64_t cut = 700'001;

    httplib::SSLServer server(authority.serverCertificate.c_str(), authority.serverKey.c_str());
    ASSERT_TRUE(server.is_valid());
    std::mutex mutex;
    std::vector<std::string> ranges;
    server.Get("/pkg.exe", [&](const httplib::Request& req, httplib::Response& res) {
        std::lock_guard lock(mutex);
        ranges.push_back(req.get_header_value("Range"));
        serve(req, res,
              {.body = package, .etag = "\"v1\"", .cutAt = ranges.size() == 1 ? cut : -1});
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread listener([&server] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();

    // libcurl reads the proxy from the environment for each request.
    const sorvo::testing::ConnectProxy proxy;
    ::setenv("https_proxy", proxy.url().c_str(), 1);
    ::unsetenv("no_proxy");
    ::unsetenv("NO_PROXY");

    Downloader downloader;
    const auto run = [&](HookRecorder& hooks, int64_t maxBytes) {
        DownloadSettings settings =
            quickSettings("https://127.0.0.1:" + std::to_string(port) + "/pkg.exe",
                          folder.file("pkg.exe"), hooks);
        settings.authorityFile = authority.certificate;
        settings.maxBytes = maxBytes;
        return runToEnd(downloader, settings, hooks);
    };

    HookRecorder resumed;
    ASSERT_TRUE(run(resumed, 0));
    EXPECT_EQ(resumed.kinds(), (Kinds{SizeKnown, Retrying, Finished}));
    EXPECT_EQ(resumed.events().front().bytes, static_cast<int64_t>(package.size()));
    EXPECT_TRUE(readFile(folder.file("pkg.exe")) == package);
    EXPECT_EQ(ranges, (std::vector<std::string>{"", "bytes=" + std::to_string(cut) + "-"}));

    HookRecorder capped;
    const auto refused = run(capped, static_cast<int64_t>(package.size()) - 1);
    ASSERT_TRUE(refused);
    EXPECT_EQ(capped.kinds(), (Kinds{Failed}));
    EXPECT_EQ(refused->reason, MessageCode::TooLarge);
    EXPECT_EQ(refused->bytes, 0);

    const std::string target = "127.0.0.1:" + std::to_string(port);
    EXPECT_EQ(proxy.tunnels(), (std::vector<std::string>(3, target)));
    ::unsetenv("https_proxy");
    server.stop();
    listener.join();
}

} // namespace
} // namespace sorvo::download::testing
