#include "download/downloader.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "test_settings.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <optional>

namespace sorvo::download::testing {
namespace {

namespace fs = std::filesystem;
using Kinds = std::vector<int32_t>;
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

int32_t code(MessageCode c) {
    return static_cast<int32_t>(c);
}

// A package that takes about 20 s at the lowest cap, so it is surely running when the test acts.
class SlowPackage : public ::testing::Test {
  protected:
    const std::string package = makePackage(1024 * 1024);
    PackageServer server{[this](httplib::Server& s) {
        s.Get("/pkg.exe", [this](const auto& req, auto& res) { serve(req, res, {package}); });
    }};
    ScratchFolder folder;

    DownloadSettings slowSettings(const std::string& target, HookRecorder& hooks) {
        DownloadSettings settings = quickSettings(server.url("/pkg.exe"), target, hooks);
        settings.speedValue = 6;
        return settings;
    }

    // Starts the slow download and waits until it is surely under way.
    bool startSlow(Downloader& downloader, const std::string& target, HookRecorder& hooks) {
        DownloadSettings settings = slowSettings(target, hooks);
        startDownload(downloader, settings);
        return hooks.waitFor(SizeKnown);
    }

    // Whether the transfer reported it was cancelled, last, and left nothing behind.
    static void expectCancelled(const HookRecorder& hooks, const std::string& target) {
        const auto events = hooks.events();
        ASSERT_FALSE(events.empty());
        EXPECT_EQ(events.back().kind, Failed);
        EXPECT_EQ(events.back().a, code(MessageCode::Cancelled));
        EXPECT_FALSE(fs::exists(target));
        EXPECT_FALSE(fs::exists(target + ".part"));
    }
};

TEST_F(SlowPackage, ReleaseStopsTheTransferWithinASecondAndSilencesItsHooks) {
    const std::string target = folder.file("a.exe");
    HookRecorder hooks;
    {
        Downloader downloader;
        ASSERT_TRUE(startSlow(downloader, target, hooks));

        const auto before = Clock::now();
        release(downloader);
        EXPECT_LT(Clock::now() - before, milliseconds(1000));
        const std::size_t callsAtReturn = hooks.hookCalls();
        std::this_thread::sleep_for(milliseconds(300));
        EXPECT_EQ(hooks.hookCalls(), callsAtReturn);
        expectCancelled(hooks, target);

        release(downloader);
        EXPECT_EQ(hooks.hookCalls(), callsAtReturn) << "releasing an idle Downloader does nothing";
    }

    // Destroying a Downloader releases it the same way.
    HookRecorder destroyed;
    {
        Downloader downloader;
        ASSERT_TRUE(startSlow(downloader, target, destroyed));
    }
    expectCancelled(destroyed, target);
}

TEST_F(SlowPackage, ReleaseFromInsideAHookStopsTheTransfer) {
    HookRecorder hooks;
    Downloader downloader;
    const std::string target = folder.file("a.exe");
    DownloadSettings settings = slowSettings(target, hooks);
    const EventHook record = settings.eventHook;
    settings.eventHook = [&](int32_t kind, int32_t a, int32_t b, int32_t c, int32_t d) {
        record(kind, a, b, c, d);
        if (kind == SizeKnown) release(downloader);
        return 0;
    };
    startDownload(downloader, settings);

    ASSERT_TRUE(hooks.waitForEnd(milliseconds(3000)));
    expectCancelled(hooks, target);
}

TEST_F(SlowPackage, StartingAgainCancelsTheRunningTransferFirst) {
    const std::string target = folder.file("a.exe");
    HookRecorder first;
    HookRecorder second;
    Downloader downloader;
    ASSERT_TRUE(startSlow(downloader, target, first));

    DownloadSettings fast = quickSettings(server.url("/pkg.exe"), target, second);
    startDownload(downloader, fast);
    // startDownload returned only after the first transfer had ended.
    EXPECT_EQ(first.kinds(), (Kinds{SizeKnown, Failed}));
    EXPECT_EQ(first.events().back().a, code(MessageCode::Cancelled));

    const auto end = second.waitForEnd();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_TRUE(readFile(target) == package);
    EXPECT_EQ(first.kinds(), (Kinds{SizeKnown, Failed}));
}

TEST_F(SlowPackage, TwoDownloadersNeverWriteOneFile) {
    const std::string target = folder.file("a.exe");
    HookRecorder first;
    HookRecorder second;
    Downloader running;
    ASSERT_TRUE(startSlow(running, target, first));

    Downloader other;
    DownloadSettings again = quickSettings(server.url("/pkg.exe"), target, second);
    startDownload(other, again);
    const auto end = second.waitForEnd();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->a, code(MessageCode::TargetUnusable));
    EXPECT_TRUE(fs::exists(target + ".part")) << "the running transfer keeps its file";
    EXPECT_EQ(first.kinds(), (Kinds{SizeKnown}));
}

} // namespace
} // namespace sorvo::download::testing
