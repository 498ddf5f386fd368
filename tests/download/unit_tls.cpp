// The package comes over https only from a server whose certificate the system trusts: one
// signed by an authority that only these tests know is refused, and nothing is written.
#include "download/downloader.h"
#include "hook_recorder.h"
#include "scratch_folder.h"
#include "support/test_authority.h"
#include "test_settings.h"

#include <atomic>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <thread>

namespace sorvo::download::testing {
namespace {

namespace fs = std::filesystem;

TEST(Tls, PackageFromAServerNobodyTrustsIsRefused) {
    ScratchFolder folder;
    const TestAuthority authority(folder.path(), "unknown");
    ASSERT_TRUE(authority.made) << "the openssl command could not make the certificates";

    httplib::SSLServer server(authority.serverCertificate.c_str(), authority.serverKey.c_str());
    ASSERT_TRUE(server.is_valid());
    std::atomic<int> served = 0;
    server.Get("/package.exe", [&served](const httplib::Request&, httplib::Response& response) {
        ++served;
        response.set_content(std::string(64 * 1024, 'p'), "application/octet-stream");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread listener([&server] { server.listen_after_bind(); });
    while (!server.is_running())
        std::this_thread::yield();

    // A client that knows the authority gets the package: the server and its certificate are
    // sound, only the trust is missing.
    httplib::SSLClient knowing("127.0.0.1", port);
    knowing.set_ca_cert_path(authority.certificate.c_str());
    knowing.enable_server_certificate_verification(true);
    const auto answer = knowing.Get("/package.exe");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(served, 1);

    HookRecorder hooks;
    Downloader downloader;
    const std::string target = folder.file("package.exe");
    DownloadSettings settings =
        quickSettings("https://127.0.0.1:" + std::to_string(port) + "/package.exe", target, hooks);
    const auto end = runToEnd(downloader, settings, hooks);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Failed);
    ASSERT_FALSE(hooks.messages().empty());
    EXPECT_EQ(hooks.messages().back().curlCode, CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_EQ(served, 1);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(target + ".part"));

    server.stop();
    listener.join();
}

} // namespace
} // namespace sorvo::download::testing
