#include "download/downloader.h"
#include "eventually.h"
#include "exit_probe.h"
#include "hanging_lookup.h"
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

    // The stopped transfer said nothing more, and its worker removed its file on its way out.
    static void expectSilentlyStopped(const HookRecorder& hooks, std::size_t callsAtStop,
                                      const std::string& target) {
        EXPECT_EQ(hooks.hookCalls(), callsAtStop);
        EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown}));
        EXPECT_TRUE(eventually([&] { return !fs::exists(target + ".part"); }));
        EXPECT_FALSE(fs::exists(target));
        EXPECT_EQ(hooks.hookCalls(), callsAtStop);
    }
};

TEST_F(SlowPackage, ReleaseStopsTheTransferAtOnceAndSilencesIt) {
    const std::string target = folder.file("a.exe");
    HookRecorder hooks;
    {
        Downloader downloader;
        ASSERT_TRUE(startSlow(downloader, target, hooks));

        release(downloader);
        const std::size_t callsAtReturn = hooks.hookCalls();
        expectSilentlyStopped(hooks, callsAtReturn, target);
        release(downloader);
    }

    // Destroying a Downloader stops it and joins its worker: the part file has gone
    // by the time it returns.
    HookRecorder destroyed;
    std::size_t callsAtDestruction = 0;
    {
        std::optional<Downloader> downloader(std::in_place);
        ASSERT_TRUE(startSlow(*downloader, target, destroyed));
        callsAtDestruction = destroyed.hookCalls();
        downloader.reset();
        EXPECT_FALSE(fs::exists(target + ".part"));
    }
    expectSilentlyStopped(destroyed, callsAtDestruction, target);
}

TEST_F(SlowPackage, ReleaseFromInsideAHookEndsTheTransferAsCancelled) {
    HookRecorder hooks;
    Downloader downloader;
    const std::string target = folder.file("a.exe");
    DownloadSettings settings = slowSettings(target, hooks);
    const EventHook record = settings.eventHook;
    settings.eventHook = [&](const Event& event) {
        record(event);
        if (event.kind == SizeKnown) release(downloader);
    };
    startDownload(downloader, settings);

    const auto end = hooks.waitForEnd(milliseconds(3000));
    ASSERT_TRUE(end);
    EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, Failed}));
    EXPECT_EQ(end->reason, MessageCode::Cancelled);
    EXPECT_FALSE(fs::exists(target + ".part"));
}

TEST_F(SlowPackage, StartingAgainTakesOverTheFileOfTheStoppedTransfer) {
    const std::string target = folder.file("a.exe");
    HookRecorder first;
    HookRecorder second;
    Downloader downloader;
    ASSERT_TRUE(startSlow(downloader, target, first));

    DownloadSettings fast = quickSettings(server.url("/pkg.exe"), target, second);
    startDownload(downloader, fast);
    const std::size_t firstCalls = first.hookCalls();

    const auto end = second.waitForEnd();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_TRUE(readFile(target) == package);
    EXPECT_EQ(first.kinds(), (Kinds{SizeKnown}));
    EXPECT_EQ(first.hookCalls(), firstCalls);
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
    EXPECT_EQ(end->reason, MessageCode::TargetUnusable);
    EXPECT_TRUE(fs::exists(target + ".part")) << "the running transfer keeps its file";
    EXPECT_EQ(first.kinds(), (Kinds{SizeKnown}));
}

TEST(Stop, IsPromptWhileTheNameLookupHangsOrTheServerFallsSilent) {
    const std::string package = makePackage(256 * 1024);
    PackageServer server([&](httplib::Server& s) {
        s.Get("/pkg.exe", [&](const auto& req, auto& res) { serve(req, res, {package}); });
        s.Get("/silent.exe", [&](const auto& req, auto& res) {
            serve(req, res, {.body = package, .pauseAt = 1024, .pauseFor = milliseconds(1500)});
        });
    });
    ScratchFolder folder;
    const std::string target = folder.file("a.exe");
    HangingLookups lookups;
    HookRecorder hanging;
    HookRecorder next;
    HookRecorder silent;
    Downloader downloader;

    DownloadSettings settings =
        quickSettings("http://" + std::string(hangingHost) + "/pkg.exe", target, hanging);
    startDownload(downloader, settings);
    ASSERT_TRUE(lookups.waitForLookup());
    // A new start replaces the transfer at once, and the new one gets on while the lookup hangs.
    DownloadSettings real = quickSettings(server.url("/pkg.exe"), target, next);
    startDownload(downloader, real);
    ASSERT_TRUE(next.waitForEnd());
    EXPECT_EQ(next.kinds(), (Kinds{SizeKnown, Finished}));
    EXPECT_TRUE(readFile(target) == package);

    startDownload(downloader, settings);
    ASSERT_TRUE(lookups.waitForLookup());
    release(downloader);

    settings = quickSettings(server.url("/silent.exe"), folder.file("b.exe"), silent);
    startDownload(downloader, settings);
    ASSERT_TRUE(eventually([&] { return bytesDone(downloader) == 1024; }));
    release(downloader);
    EXPECT_TRUE(hanging.events().empty());
    EXPECT_EQ(silent.kinds(), (Kinds{SizeKnown}));
    // The stopped transfer ends on its own and takes its part file with it.
    EXPECT_TRUE(eventually([&] { return !std::filesystem::exists(folder.file("b.exe.part")); }));
}

TEST(Stop, ProgramEndDoesNotWaitForAHangingLookup) {
    ScratchFolder folder;
    const auto exit =
        runExitProbe("http://" + std::string(hangingHost) + "/pkg.exe", folder.file("a.exe"));
    // Waiting for the lookup would be waiting for ever.
    ASSERT_TRUE(exit.ended) << "the probe did not end";
    EXPECT_EQ(exit.status, 0);
}

} // namespace
} // namespace sorvo::download::testing
