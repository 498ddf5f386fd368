#include "download/response_head.h"
#include "download/speed_meter.h"

#include <gtest/gtest.h>

namespace sorvo::download {
namespace {

using std::chrono::milliseconds;

TEST(ContentRange, AcceptsOnlyWellFormedRanges) {
    const auto range = parseContentRange("Bytes 100-999/1000");
    ASSERT_TRUE(range);
    EXPECT_EQ(range->first, 100);
    EXPECT_EQ(range->last, 999);
    EXPECT_EQ(range->total, 1000);
    const auto unknownTotal = parseContentRange(" bytes 0-9/*\r\n");
    ASSERT_TRUE(unknownTotal);
    EXPECT_EQ(unknownTotal->total, -1);

    for (const char* bad : {"bytes 10-5/20", "bytes 0-20/20", "items 0-1/2", "bytes -1-2/3",
                            "bytes 1-2", "bytes 1-2/x", "bytes 1 -2/3", "bytes */20", ""}) {
        EXPECT_FALSE(parseContentRange(bad)) << bad;
    }
}

TEST(ResponseHead, KeepsOnlyTheLastHeadAndPicksASafeValidator) {
    ResponseHead head;
    EXPECT_FALSE(head.addLine("HTTP/1.1 302 Found\r\n"));
    head.addLine("Location: /elsewhere\r\n");
    head.addLine("Content-Length: 5\r\n");
    head.addLine("ETag: \"redirect\"\r\n");
    EXPECT_TRUE(head.addLine("\r\n"));

    head.addLine("HTTP/2 200 \r\n");
    head.addLine("content-length: 1234\r\n");
    head.addLine("etag: W/\"weak\"\r\n");
    head.addLine("Last-Modified: Tue, 01 Jul 2025 10:00:00 GMT\r\n");
    EXPECT_TRUE(head.addLine("\r\n"));
    EXPECT_EQ(head.status(), 200);
    EXPECT_EQ(head.contentLength(), 1234);
    EXPECT_FALSE(head.contentRange());
    // A weak ETag cannot guard a range; the date can.
    EXPECT_EQ(head.validator(), "Tue, 01 Jul 2025 10:00:00 GMT");

    head.addLine("HTTP/1.1 206 Partial Content\r\n");
    head.addLine("Content-Range: bytes 10-19/20\r\n");
    head.addLine("ETag: \"strong\"\r\n");
    EXPECT_EQ(head.status(), 206);
    EXPECT_EQ(head.contentLength(), -1);
    EXPECT_EQ(head.contentRange()->first, 10);
    EXPECT_EQ(head.validator(), "\"strong\"");

    head.addLine("HTTP/1.1 200 OK\r\n");
    EXPECT_EQ(head.validator(), "") << "nothing to guard a resume with";
}

double rateAt(const SpeedMeter& meter, SpeedMeter::Clock::time_point now) {
    return static_cast<double>(meter.bytesPerSecond(now));
}

TEST(SpeedMeter, MeasuresTheLastTwoSeconds) {
    SpeedMeter meter;
    const auto start = SpeedMeter::Clock::now();
    meter.restart(start);
    EXPECT_EQ(meter.bytesPerSecond(start), 0);

    // 10000 bytes every 10 ms for three seconds; before two seconds have passed, the time since
    // the restart counts.
    auto now = start;
    for (int i = 1; i <= 300; ++i) {
        now = start + milliseconds(10 * i);
        meter.add(10000, now);
        if (i == 50) {
            EXPECT_NEAR(rateAt(meter, now), 1'000'000, 10'000);
        }
    }
    EXPECT_NEAR(rateAt(meter, now), 1'000'000, 10'000);

    // Then half the rate for two seconds: the first rate has left the window.
    for (int i = 1; i <= 100; ++i) {
        now += milliseconds(20);
        meter.add(10000, now);
    }
    EXPECT_NEAR(rateAt(meter, now), 500'000, 10'000);

    // Silence brings it down and, after a whole window, to 0.
    EXPECT_NEAR(rateAt(meter, now + milliseconds(1000)), 250'000, 15'000);
    EXPECT_EQ(meter.bytesPerSecond(now + milliseconds(2500)), 0);
}

} // namespace
} // namespace sorvo::download
