#include "demo_service.h"

#include <chrono>
#include <gtest/gtest.h>
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

} // namespace
} // namespace sorvo::test
