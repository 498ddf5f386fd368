#include "demo_service.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>
#include <regex>
#include <thread>

namespace sorvo::test {
namespace {

using Clock = std::chrono::steady_clock;

// With --drop-radio-page the radio page is down for a while after the start, and only the
// radio page: the client shows its offline page and then comes back by itself.
TEST(RadioOutage, TheRadioPageIsAwayForAWhileAndThenBack) {
    const auto started = Clock::now();
    DemoService service({"--drop-radio-page", "2"});
    auto radio = service.client().Get("/diantai/sorvo/");
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->status, 503);
    EXPECT_NE(radio->body.find("暂停服务"), std::string::npos);
    auto upgrade = service.client().Get("/diantai/softpic/soft_v1.0.html");
    ASSERT_TRUE(upgrade);
    EXPECT_EQ(upgrade->status, 200);

    while (radio && radio->status == 503 && Clock::now() - started < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        radio = service.client().Get("/diantai/sorvo/");
    }
    ASSERT_TRUE(radio);
    EXPECT_EQ(radio->status, 200);
    EXPECT_GE(Clock::now() - started, std::chrono::seconds(2));
    EXPECT_NE(radio->body.find("<audio"), std::string::npos);
}

TEST(RadioOutage, ABadLengthIsRefused) {
    for (const char* bad : {"-1", "soon", "86401"}) {
        ChildProcess service({SORVO_DEMO_SERVICE, "--port", "0", "--drop-radio-page", bad});
        EXPECT_EQ(service.wait(), 2) << bad;
    }
}

const std::string liveStream = "/diantai/sorvo/channel/pop.wav";

// Reads a live stream until it ends; `started` is set once its first bytes have come.
std::future<std::pair<httplib::Result, std::string>> listen(const DemoService& service,
                                                            std::promise<void>& started) {
    return std::async(std::launch::async, [&service, &started] {
        std::string body;
        auto client = service.client();
        auto result = client.Get(liveStream, [&](const char* data, std::size_t length) {
            if (body.empty()) started.set_value();
            body.append(data, length);
            return true;
        });
        return std::pair{std::move(result), std::move(body)};
    });
}

// A live stream has no length, as a station's; a restart ends it cleanly and refuses new ones
// for a while, where an outage breaks it off.
TEST(LiveStreams, EndCleanlyOnARestartAndBreakInAnOutage) {
    DemoService service({"--stream-restart", "0"});
    auto page = service.client().Get("/diantai/sorvo/");
    ASSERT_TRUE(page);
    std::smatch audio;
    ASSERT_TRUE(std::regex_search(page->body, audio, std::regex("<audio[^>]*>")));
    EXPECT_EQ(audio.str(0).find("loop"), std::string::npos);

    std::promise<void> started;
    auto stream = listen(service, started);
    started.get_future().wait();
    ASSERT_TRUE(service.client().Get("/diantai/sorvo/stream-restart?refuse=2"));
    const auto [ended, body] = stream.get();
    ASSERT_TRUE(ended) << httplib::to_string(ended.error());
    EXPECT_EQ(ended->status, 200);
    EXPECT_FALSE(ended->has_header("Content-Length"));
    EXPECT_FALSE(ended->has_header("Accept-Ranges"));
    EXPECT_EQ(ended->get_header_value("Transfer-Encoding"), "chunked");
    EXPECT_EQ(ended->get_header_value("Cache-Control"), "no-store");
    ASSERT_GT(body.size(), 44u);
    EXPECT_EQ(body.substr(4, 4), "\xff\xff\xff\xff");
    EXPECT_EQ(body.substr(36, 8), "data\xff\xff\xff\xff");

    const auto refused = service.client().Get(liveStream);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->status, 503);
    const auto refusedAt = Clock::now();
    int status = 503;
    while (status == 503 && Clock::now() - refusedAt < std::chrono::seconds(10)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        service.client().Get(
            liveStream,
            [&](const httplib::Response& response) {
                status = response.status;
                return false;
            },
            [](const char*, std::size_t) { return false; });
    }
    EXPECT_EQ(status, 200);

    std::promise<void> again;
    auto cut = listen(service, again);
    again.get_future().wait();
    ASSERT_TRUE(service.client().Get("/diantai/sorvo/stream-outage?seconds=1"));
    EXPECT_FALSE(cut.get().first);
}

} // namespace
} // namespace sorvo::test
