#include "demo_service.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <memory>
#include <unistd.h>

namespace sorvo::test {
namespace {

constexpr std::size_t packageSize = 300'001;

class PackageDownload : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        service = std::make_unique<DemoService>(
            std::vector<std::string>{"--package-size", std::to_string(packageSize)});
        auto response = service->client().Get(packagePathGbk);
        ASSERT_TRUE(response);
        ASSERT_EQ(response->status, 200);
        whole = response->body;
        etag = response->get_header_value("ETag");
        lastModified = response->get_header_value("Last-Modified");
    }
    static void TearDownTestSuite() { EXPECT_EQ(service->stop(), 0); }

    static httplib::Result get(const httplib::Headers& headers) {
        return service->client().Get(packagePathUtf8, headers);
    }

    static inline std::unique_ptr<DemoService> service;
    static inline std::string whole;
    static inline std::string etag;
    static inline std::string lastModified;
};

TEST_F(PackageDownload, BothSpellingsOfThePathServeTheSameExecutable) {
    EXPECT_EQ(whole.size(), packageSize);
    EXPECT_TRUE(whole.starts_with("MZ"));
    EXPECT_FALSE(etag.empty());
    EXPECT_FALSE(lastModified.empty());

    auto utf8 = get({});
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->status, 200);
    EXPECT_EQ(utf8->get_header_value("Content-Length"), std::to_string(packageSize));
    EXPECT_EQ(utf8->get_header_value("Accept-Ranges"), "bytes");
    EXPECT_TRUE(utf8->body == whole) << "the two paths serve different bytes";
}

TEST_F(PackageDownload, SameSizeGivesTheSameBytesInAnotherRun) {
    DemoService again({"--package-size", std::to_string(packageSize)});
    auto response = again.client().Get(packagePathGbk);
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->body == whole) << "a resumed download would splice two files";
    EXPECT_EQ(response->get_header_value("ETag"), etag);
}

TEST_F(PackageDownload, RangeGetsTheSliceItNames) {
    struct Case {
        std::string range;
        std::size_t first;
        std::size_t length;
    };
    const Case cases[] = {
        {"bytes=0-1", 0, 2},
        {"bytes=1000-1999", 1000, 1000},
        {"bytes=299990-", 299'990, 11},
        {"bytes=-100", packageSize - 100, 100},
        {"bytes=299000-999999", 299'000, packageSize - 299'000},
        {"bytes=-999999", 0, packageSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.range);
        auto response = get({{"Range", c.range}});
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 206);
        EXPECT_EQ(response->get_header_value("Content-Range"),
                  "bytes " + std::to_string(c.first) + "-" +
                      std::to_string(c.first + c.length - 1) + "/" + std::to_string(packageSize));
        EXPECT_TRUE(response->body == whole.substr(c.first, c.length));
    }
}

TEST_F(PackageDownload, RangeWhollyPastTheEndIsRefused) {
    for (const std::string range : {"bytes=300001-", "bytes=400000-500000", "bytes=-0"}) {
        SCOPED_TRACE(range);
        auto response = get({{"Range", range}});
        ASSERT_TRUE(response);
        EXPECT_EQ(response->status, 416);
        EXPECT_EQ(response->get_header_value("Content-Range"),
                  "bytes */" + std::to_string(packageSize));
        EXPECT_TRUE(response->body.empty());
    }
}

TEST_F(PackageDownload, IfRangeSendsTheWholeFileWhenTheValidatorIsStale) {
    struct Case {
        std::string ifRange;
        bool current;
    };
    const Case cases[] = {
        {etag, true},
        {lastModified, true},
        {"\"an-older-build\"", false},
        {"W/" + etag, false}, // a weak tag never allows a range
        {"Sun, 31 May 2015 08:00:00 GMT", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ifRange);
        auto response = get({{"Range", "bytes=100-199"}, {"If-Range", c.ifRange}});
        ASSERT_TRUE(response);
        if (c.current) {
            EXPECT_EQ(response->status, 206);
            EXPECT_TRUE(response->body == whole.substr(100, 100));
        } else {
            EXPECT_EQ(response->status, 200);
            EXPECT_FALSE(response->has_header("Content-Range"));
            EXPECT_TRUE(response->body == whole);
        }
    }
}

TEST_F(PackageDownload, SeveralRangesGetTheWholeFile) {
    auto response = get({{"Range", "bytes=0-9,20-29"}});
    ASSERT_TRUE(response);
    EXPECT_EQ(response->status, 200);
    EXPECT_TRUE(response->body == whole);
}

// Only a lower bound: a cap the service ignored would finish far sooner.
TEST_F(PackageDownload, ThrottleHoldsTheTransferToItsRate) {
    DemoService throttled({"--package-size", std::to_string(packageSize), "--throttle", "600000"});
    const auto start = std::chrono::steady_clock::now();
    auto response = throttled.client().Get(packagePathGbk);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(response);
    EXPECT_TRUE(response->body == whole);
    EXPECT_GE(elapsed, std::chrono::milliseconds(400)); // 300 001 bytes at 600 000 B/s: 500 ms
}

// What a publisher does: write the package, sign it with the signing tool, and serve the
// signature beside it, where the client looks for it.
TEST_F(PackageDownload, ServesTheSignatureMadeOfTheWrittenPackage) {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("sorvo-demo-signed-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const auto file = [&](const char* name) { return (folder / name).string(); };
    const auto run = [](const std::string& command) {
        return std::system((command + " </dev/null >/dev/null").c_str());
    };
    ASSERT_EQ(run(std::string(SORVO_DEMO_SERVICE) + " --package-size " +
                  std::to_string(packageSize) + " --write-package " + file("pkg.exe")),
              0);
    ASSERT_EQ(run("minisign -G -W -p " + file("key.pub") + " -s " + file("key.sec")), 0);
    ASSERT_EQ(run("minisign -S -s " + file("key.sec") + " -m " + file("pkg.exe") + " -x " +
                  file("pkg.minisig")),
              0);

    DemoService signedService({"--package-size", std::to_string(packageSize), "--package-signature",
                               file("pkg.minisig")});
    auto signature = signedService.client().Get(packagePathGbk + ".minisig");
    ASSERT_TRUE(signature);
    EXPECT_EQ(signature->status, 200);
    std::ofstream(file("served.exe"), std::ios::binary) << whole;
    std::ofstream(file("served.minisig"), std::ios::binary) << signature->body;
    EXPECT_EQ(run("minisign -V -p " + file("key.pub") + " -m " + file("served.exe") + " -x " +
                  file("served.minisig")),
              0)
        << "the signature is not the written package's";

    auto none = service->client().Get(packagePathUtf8 + ".minisig");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->status, 404) << "no signature unless one is given";
    std::filesystem::remove_all(folder);
}

} // namespace
} // namespace sorvo::test
