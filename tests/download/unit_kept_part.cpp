#include "download/downloader.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "support/package_signer.h"
#include "support/small_disk.h"
#include "test_settings.h"

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace sorvo::download::testing {
namespace {

namespace fs = std::filesystem;
using Kinds = std::vector<int32_t>;

constexpr int64_t cut = 300 * 1024 + 3;

// Settings as the update window fills them: retries for as long as the retry window allows,
// which is short here.
DownloadSettings windowSettings(const std::string& url, const std::string& target,
                                HookRecorder& hooks) {
    DownloadSettings settings = quickSettings(url, target, hooks);
    settings.maxRetries = 999999999;
    settings.retryWindowMs = 300;
    return settings;
}

// Flips one byte of a file and gives it back its modification time, as if nothing had written
// it: only reading the bytes can tell.
void flipByteUnnoticed(const std::string& path, off_t at) {
    const int fd = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct stat before {};
    ASSERT_EQ(::fstat(fd, &before), 0);
    char byte = 0;
    ASSERT_EQ(::pread(fd, &byte, 1, at), 1);
    byte = static_cast<char>(byte ^ 0x20);
    ASSERT_EQ(::pwrite(fd, &byte, 1, at), 1);
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::futimens(fd, times), 0);
    ::close(fd);
}

// A transfer that fails for good after part of the package, then a new start on the same
// Downloader. The server's next answer can be cut short, and its others answered with an error.
class KeptPart : public ::testing::Test {
  protected:
    const std::string package = makePackage(1024 * 1024 + 7, 1);
    const PackageSigner signer;
    ScratchFolder folder;
    const std::string target = folder.file("pkg.exe");
    const std::string part = target + ".part";
    Downloader downloader;

    // The server sends the next answer up to `bytes` and closes the connection; later ones get
    // 503 until the retry window closes and the transfer gives up.
    std::optional<Event> failAfter(int64_t bytes, const std::string& key = "") {
        cutNextAt = bytes;
        status = 503;
        HookRecorder hooks;
        DownloadSettings settings = windowSettings(server.url("/pkg.exe"), target, hooks);
        settings.publicKey = key;
        const auto end = runToEnd(downloader, settings, hooks);
        status = 200;
        return end;
    }

    // Starts the download again; sizeKnownAt gets bytesDone as SizeKnown comes.
    std::optional<Event> startAgain(HookRecorder& hooks, const std::string& key = "") {
        DownloadSettings settings = windowSettings(server.url("/pkg.exe"), target, hooks);
        settings.publicKey = key;
        const EventHook record = settings.eventHook;
        settings.eventHook = [&, record](const Event& event) {
            if (event.kind == SizeKnown && sizeKnownAt < 0) sizeKnownAt = bytesDone(downloader);
            record(event);
        };
        return runToEnd(downloader, settings, hooks);
    }

    void serveBody(std::string body, std::string etag) {
        std::lock_guard lock(mutex_);
        signature_ = signer.sign(body).text();
        body_ = std::move(body);
        etag_ = std::move(etag);
    }

    SeenRequest lastPackageRequest() const {
        const auto requests = server.requests();
        for (auto r = requests.rbegin(); r != requests.rend(); ++r)
            if (r->path == "/pkg.exe") return *r;
        return {};
    }

    std::atomic<int64_t> sizeKnownAt = -1;
    std::atomic<int64_t> cutNextAt = -1;
    std::atomic<int> status = 200;

  private:
    std::mutex mutex_;
    std::string body_ = package;
    std::string etag_ = "\"v1\"";
    std::string signature_ = signer.sign(package).text();

  protected:
    PackageServer server{[this](httplib::Server& s) {
        s.Get("/pkg.exe", [this](const auto& req, auto& res) {
            std::lock_guard lock(mutex_);
            const int64_t cutAt = cutNextAt.exchange(-1);
            if (cutAt < 0 && status != 200) {
                res.status = status;
                return;
            }
            serve(req, res, {.body = body_, .etag = etag_, .cutAt = cutAt});
        });
        s.Get("/pkg.exe.minisig", [this](const auto&, auto& res) {
            std::lock_guard lock(mutex_);
            res.set_content(signature_, "text/plain");
        });
    }};
};

TEST_F(KeptPart, ANewStartAsksForTheRestOfWhatTheFailedTransferKept) {
    const auto failed = failAfter(cut);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, Failed);
    EXPECT_EQ(failed->reason, MessageCode::HttpError);
    EXPECT_EQ(failed->httpStatus, 503);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_TRUE(readFile(part) == package.substr(0, cut)) << "exactly the bytes received";
    EXPECT_EQ(bytesStored(downloader), 0);

    HookRecorder hooks;
    const auto end = startAgain(hooks);
    ASSERT_TRUE(end);
    EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, Finished}));
    EXPECT_EQ(hooks.events().front().bytes, static_cast<int64_t>(package.size()));
    EXPECT_EQ(sizeKnownAt.load(), cut) << "the kept bytes count from the start";
    EXPECT_EQ(bytesDone(downloader), static_cast<int64_t>(package.size()));
    EXPECT_TRUE(readFile(target) == package);
    EXPECT_FALSE(fs::exists(part));
    const SeenRequest resumed = lastPackageRequest();
    EXPECT_EQ(resumed.range, "bytes=" + std::to_string(cut) + "-");
    EXPECT_EQ(resumed.ifRange, "\"v1\"");
}

TEST_F(KeptPart, ASignedPackageIsCheckedWholeKeptBytesIncluded) {
    const std::string key = signer.publicKeyLine();
    ASSERT_TRUE(failAfter(cut, key));
    HookRecorder resumed;
    auto end = startAgain(resumed, key);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_EQ(lastPackageRequest().range, "bytes=" + std::to_string(cut) + "-");
    EXPECT_TRUE(readFile(target) == package);

    // A byte of the kept part changed on disk: the package fails its signature, and nothing of
    // it stays for another try.
    fs::remove(target);
    ASSERT_TRUE(failAfter(cut, key));
    flipByteUnnoticed(part, cut / 2);
    HookRecorder spoiled;
    end = startAgain(spoiled, key);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Failed);
    EXPECT_EQ(end->reason, MessageCode::SignatureMismatch);
    EXPECT_EQ(lastPackageRequest().range, "bytes=" + std::to_string(cut) + "-");
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(fs::exists(part));
}

TEST_F(KeptPart, APackageChangedOnTheServerComesWhole) {
    ASSERT_TRUE(failAfter(cut));
    const std::string newer = makePackage(package.size() + 100, 2);
    serveBody(newer, "\"v2\"");
    HookRecorder hooks;
    const auto end = startAgain(hooks);
    ASSERT_TRUE(end);
    EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, SizeKnown, Finished}));
    EXPECT_EQ(hooks.events()[1].bytes, static_cast<int64_t>(newer.size()));
    EXPECT_EQ(bytesDone(downloader), static_cast<int64_t>(newer.size()));
    EXPECT_TRUE(readFile(target) == newer);
    EXPECT_EQ(lastPackageRequest().ifRange, "\"v1\"");
}

// The kept file is taken up only by the same download and only as it was left; otherwise it
// goes, and never anything else that took its name.
TEST_F(KeptPart, OnlyTheSameDownloadTakesUpTheKeptFileAsItWasLeft) {
    ASSERT_TRUE(failAfter(cut));
    { std::ofstream(part, std::ios::binary | std::ios::app) << "x"; }
    HookRecorder touched;
    auto end = startAgain(touched);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_EQ(lastPackageRequest().range, "") << "a changed part starts over";
    EXPECT_TRUE(readFile(target) == package);

    ASSERT_TRUE(failAfter(cut));
    HookRecorder elsewhere;
    DownloadSettings settings =
        windowSettings(server.url("/pkg.exe"), folder.file("b.exe"), elsewhere);
    ASSERT_TRUE(runToEnd(downloader, settings, elsewhere));
    EXPECT_FALSE(fs::exists(part)) << "a start to another target removes the kept part";
    EXPECT_EQ(lastPackageRequest().range, "");

    // A link put in the kept file's place stays, and so does what it points to.
    fs::remove(target);
    ASSERT_TRUE(failAfter(cut));
    const std::string outside = folder.file("outside");
    writeFile(outside, "the user's own file");
    fs::remove(part);
    fs::create_symlink(outside, part);
    HookRecorder afterLink;
    settings = windowSettings(server.url("/pkg.exe"), folder.file("c.exe"), afterLink);
    ASSERT_TRUE(runToEnd(downloader, settings, afterLink));
    EXPECT_TRUE(fs::is_symlink(part));
    EXPECT_EQ(readFile(outside), "the user's own file");
}

TEST_F(KeptPart, NothingIsKeptWhereTheRestCannotBeAskedFor) {
    serveBody(package, "");
    ASSERT_TRUE(failAfter(cut));
    EXPECT_FALSE(fs::exists(part)) << "without a version, the rest could be another package's";

    serveBody(package, "\"v1\"");
    cutNextAt = cut;
    HookRecorder hooks;
    DownloadSettings settings = windowSettings(server.url("/pkg.exe"), target, hooks);
    settings.resumeOnRetry = false;
    settings.maxRetries = 0;
    const auto end = runToEnd(downloader, settings, hooks);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->reason, MessageCode::ConnectionLost);
    EXPECT_FALSE(fs::exists(part)) << "resuming is switched off";
}

// A full disk is a failure that freeing space mends: the bytes that fitted stay for the next
// start.
TEST(KeptPartOnAFullDisk, ContinuesOnceThereIsRoom) {
    const std::string package = makePackage(1024 * 1024, 3);
    PackageServer server([&](httplib::Server& s) {
        s.Get("/pkg.exe", [&](const auto& req, auto& res) {
            serve(req, res, {.body = package, .etag = "\"v1\""});
        });
    });
    SmallDisk disk(256 * 1024);
    if (!disk.mounted()) GTEST_SKIP() << disk.whyNot();
    const std::string target = disk.file("pkg.exe");
    Downloader downloader;

    HookRecorder full;
    DownloadSettings settings = quickSettings(server.url("/pkg.exe"), target, full);
    const auto failed = runToEnd(downloader, settings, full);
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->kind, Failed);
    EXPECT_EQ(failed->reason, MessageCode::DiskFull);
    const std::string kept = readFile(target + ".part");
    ASSERT_GT(kept.size(), 0u);
    EXPECT_LT(kept.size(), package.size());
    EXPECT_TRUE(kept == package.substr(0, kept.size()));

    ASSERT_TRUE(disk.resize(4 * 1024 * 1024)) << disk.whyNot();
    HookRecorder roomy;
    settings = quickSettings(server.url("/pkg.exe"), target, roomy);
    const auto end = runToEnd(downloader, settings, roomy);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_TRUE(readFile(target) == package);
    EXPECT_EQ(server.requests().back().range, "bytes=" + std::to_string(kept.size()) + "-");
}

} // namespace
} // namespace sorvo::download::testing
