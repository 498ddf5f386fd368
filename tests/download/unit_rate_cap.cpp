#include "download/downloader.h"
#include "download/rate_cap.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "test_settings.h"

#include <gtest/gtest.h>

namespace sorvo::download::testing {
namespace {

using Clock = std::chrono::steady_clock;

// A second's worth of the cap: long enough that no burst at the start hides the cap.
constexpr double secondsPerCap = 1;

// Each capped entry holds a download back by a wide margin; the entry above the caps does not.
// How close each comes to its cap, and how fast an uncapped download is, bench-update and
// bench-download measure.
class RateCap : public ::testing::Test {
  protected:
    std::string package;
    PackageServer server{[this](httplib::Server& s) {
        s.Get("/pkg.exe", [this](const auto& req, auto& res) { serve(req, res, {package}); });
    }};
    ScratchFolder folder;
    Downloader downloader;

    // Downloads package at speedValue; returns the seconds from start to Finished.
    double secondsAt(int32_t speedValue) {
        HookRecorder hooks;
        DownloadSettings settings =
            quickSettings(server.url("/pkg.exe"), folder.file("p.exe"), hooks);
        settings.speedValue = speedValue;
        const auto start = Clock::now();
        startDownload(downloader, settings);
        const auto end = hooks.waitForEnd();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        release(downloader); // no hook may reach the recorder once it is gone
        EXPECT_TRUE(end && end->kind == Finished);
        return seconds;
    }
};

TEST_F(RateCap, EachSpeedEntryHoldsTheDownloadBack) {
    for (const int32_t speedValue : {6, 20, 60, 120}) {
        SCOPED_TRACE(speedValue);
        DownloadSettings capped;
        capped.speedValue = speedValue;
        package = makePackage(static_cast<std::size_t>(
            static_cast<double>(rateCapFor(capped).bytesPerSecond) * secondsPerCap));
        const double uncapped = secondsAt(200);
        EXPECT_GT(secondsAt(speedValue), 4 * uncapped);
    }
}

} // namespace
} // namespace sorvo::download::testing
