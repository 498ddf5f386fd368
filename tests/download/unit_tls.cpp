// The package comes over https only from a server whose certificate the system trusts: one
// signed by an authority that only these tests know is refused, and nothing is written.
#include "download/downloader.h"
#include "hook_recorder.h"
#include "scratch_folder.h"
#include "support/loopback_server.h"
#include "support/test_authority.h"
#include "test_settings.h"

#include <atomic>
#include <curl/curl.h>
#include <gtest/gtest.h>

namespace sorvo::download::testing {
namespace {

namespace fs = std::filesystem;

TEST(Tls, PackageFromAServerNobodyTrustsIsRefused) {
    ScratchFolder folder;
    const TestAuthority authority(folder.path(), "unknown");
    ASSERT_TRUE(authority.made) << "the openssl command could not make the certificates";

    std::atomic<int> served = 0;
    const sorvo::testing::LoopbackServer server(
        [&served](httplib::Server& routes) {
            routes.Get("/package.exe", [&served](const auto&, httplib::Response& response) {
                ++served;
                response.set_content(std::string(64 * 1024, 'p'), "application/octet-stream");
            });
        },
        {authority.serverCertificate, authority.serverKey});

    // A client that knows the authority gets the package: the server and its certificate are
    // sound, only the trust is missing.
    httplib::SSLClient knowing("127.0.0.1", server.port());
    knowing.set_ca_cert_path(authority.certificate.c_str());
    knowing.enable_server_certificate_verification(true);
    const auto answer = knowing.Get("/package.exe");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);
    EXPECT_EQ(served, 1);

    HookRecorder hooks;
    Downloader downloader;
    const std::string target = folder.file("package.exe");
    DownloadSettings settings = quickSettings(server.url("/package.exe"), target, hooks);
    const auto end = runToEnd(downloader, settings, hooks);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Failed);
    ASSERT_FALSE(hooks.messages().empty());
    EXPECT_EQ(hooks.messages().back().curlCode, CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_EQ(served, 1);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(target + ".part"));
}

} // namespace
} // namespace sorvo::download::testing
