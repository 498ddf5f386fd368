#include "download/downloader.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "test_settings.h"

#include <gtest/gtest.h>

namespace sorvo::download::testing {
namespace {

using Clock = std::chrono::steady_clock;

constexpr double stepBytesPerSecond = 8 * 1024;
constexpr double secondsPerCap = 2.5;

class RateCap : public ::testing::Test {
  protected:
    std::string package;
    PackageServer server{[this](httplib::Server& s) {
        s.Get("/pkg.exe", [this](const auto& req, auto& res) { serve(req, res, {package}); });
    }};
    ScratchFolder folder;
    Downloader downloader;

    // Downloads package at speedValue; returns bytes per second from start to Finished, and the
    // current speed seen two seconds in.
    std::pair<double, int64_t> download(int32_t speedValue) {
        HookRecorder hooks;
        DownloadSettings settings =
            quickSettings(server.url("/pkg.exe"), folder.file("p.exe"), hooks);
        settings.speedValue = speedValue;
        const auto start = Clock::now();
        startDownload(downloader, settings);
        const bool ended = hooks.waitForEnd(std::chrono::seconds(2)).has_value();
        const int64_t speed = ended ? 0 : currentSpeed(downloader);
        const auto end = hooks.waitForEnd();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        release(downloader); // no hook may reach the recorder once it is gone
        EXPECT_TRUE(end && end->kind == Finished);
        return {static_cast<double>(package.size()) / seconds, speed};
    }
};

TEST_F(RateCap, EachSpeedEntryHoldsItsRate) {
    for (const int32_t speedValue : {6, 20, 60, 120}) {
        SCOPED_TRACE(speedValue);
        const double cap = speedValue * stepBytesPerSecond;
        package = makePackage(static_cast<std::size_t>(cap * secondsPerCap));
        const auto [rate, speed] = download(speedValue);
        EXPECT_NEAR(rate, cap, cap * 0.10);
        EXPECT_NEAR(static_cast<double>(speed), cap, cap * 0.10);
    }
}

TEST_F(RateCap, TopEntryDoesNotHoldAFastConnectionBack) {
    package = makePackage(32 * 1024 * 1024);
    const double highestCap = 120 * stepBytesPerSecond;
    EXPECT_GT(download(200).first, 8 * highestCap);
}

} // namespace
} // namespace sorvo::download::testing
