#include "download/downloader.h"
#include "download/job.h"
#include "download/transfer.h"
#include "eventually.h"
#include "hook_recorder.h"
#include "package_server.h"
#include "scratch_folder.h"
#include "support/package_signer.h"
#include "test_settings.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <mutex>

namespace sorvo::download::testing {
namespace {

namespace fs = std::filesystem;
using Kinds = std::vector<int32_t>;

constexpr char oldPackage[] = "the package from last time";

// A package and its signature file on a loopback server; each test decides what is served.
class SignedPackage : public ::testing::Test {
  protected:
    const std::string package = makePackage(700 * 1024 + 13, 1);
    const PackageSigner signer;

    void serveBody(std::string body) {
        std::lock_guard lock(mutex_);
        body_ = std::move(body);
    }
    void serveSignature(std::string text) {
        std::lock_guard lock(mutex_);
        signature_ = std::move(text);
    }

    // Downloads with the key and returns how it ended; on a failure it checks that neither the
    // package nor its part file reached the folder.
    std::optional<Event> download(const std::string& keyLine, bool allowUnsigned = false) {
        const std::string target = folder.file("pkg.exe");
        writeFile(target, oldPackage);
        HookRecorder hooks;
        DownloadSettings settings = quickSettings(server.url("/pkg.exe"), target, hooks);
        settings.publicKey = keyLine;
        settings.allowUnsigned = allowUnsigned;
        const auto end = runToEnd(downloader, settings, hooks);
        if (end && end->kind == Failed) {
            EXPECT_EQ(readFile(target), oldPackage);
            EXPECT_FALSE(fs::exists(target + ".part"));
            EXPECT_EQ(bytesStored(downloader), 0);
        }
        return end;
    }

    std::size_t packageRequests() const {
        std::size_t count = 0;
        for (const SeenRequest& r : server.requests())
            count += r.path == "/pkg.exe" ? 1 : 0;
        return count;
    }

    ScratchFolder folder;
    Downloader downloader;

  private:
    std::mutex mutex_;
    std::string body_ = package;
    std::string signature_;

  protected:
    PackageServer server{[this](httplib::Server& s) {
        s.Get("/pkg.exe", [this](const auto& req, auto& res) {
            std::lock_guard lock(mutex_);
            serve(req, res, {.body = body_, .etag = "\"v1\""});
        });
        s.Get("/pkg.exe.minisig", [this](const auto&, auto& res) {
            std::lock_guard lock(mutex_);
            if (signature_.empty())
                res.status = 404;
            else
                res.set_content(signature_, "text/plain");
        });
    }};
};

TEST_F(SignedPackage, OnlyAPackageThatMatchesItsSignatureByTheTrustedKeyIsPutInPlace) {
    const PackageSigner stranger;
    const std::string other = makePackage(package.size(), 2);
    std::string flipped = package;
    flipped[package.size() / 2] ^= 0x01;
    const auto signed_ = [&](const SignOptions& options = {}) {
        return signer.sign(package, options);
    };
    const auto withLine = [](SignatureText text, std::string SignatureText::*line,
                             std::string value) {
        text.*line = std::move(value);
        return text.text();
    };
    const std::array<unsigned char, 8> otherKeyId = {1, 2, 3, 4, 5, 6, 7, 8};

    struct Case {
        const char* what;
        std::string body;
        std::string signature;
        std::string key;
        std::optional<MessageCode> failure; // none: Finished
    };
    const Case cases[] = {
        {"valid", package, signed_().text(), signer.publicKeyLine(), {}},
        {"another key", package, signed_().text(), stranger.publicKeyLine(),
         MessageCode::SignatureWrongKey},
        {"key id changed", package, signed_({.keyId = otherKeyId}).text(), signer.publicKeyLine(),
         MessageCode::SignatureWrongKey},
        {"one byte flipped", flipped, signed_().text(), signer.publicKeyLine(),
         MessageCode::SignatureMismatch},
        {"older form, signing the file itself", package, signed_({.legacy = true}).text(),
         signer.publicKeyLine(), MessageCode::SignatureMalformed},
        {"older release replayed", package,
         signed_({.trustedComment = "file:pkg.exe version:1.0.0"}).text(), signer.publicKeyLine(),
         MessageCode::PackageTooOld},
        {"another file of the publisher's", package,
         signed_({.trustedComment = "file:setup.exe version:9"}).text(), signer.publicKeyLine(),
         MessageCode::PackageMismatch},
        {"comment without the fields", package,
         signed_({.trustedComment = "timestamp:1700000000\tfile:pkg.exe\thashed"}).text(),
         signer.publicKeyLine(), MessageCode::PackageMismatch},
        {"cut short", package.substr(0, package.size() - 1), signed_().text(),
         signer.publicKeyLine(), MessageCode::SignatureMismatch},
        {"one byte more", package + "x", signed_().text(), signer.publicKeyLine(),
         MessageCode::SignatureMismatch},
        {"signature of another file", package, signer.sign(other).text(), signer.publicKeyLine(),
         MessageCode::SignatureMismatch},
        {"no signature file", package, "", signer.publicKeyLine(), MessageCode::SignatureMissing},
        {"signature not base64", package,
         withLine(signed_(), &SignatureText::signature, "RUR*not base64*"), signer.publicKeyLine(),
         MessageCode::SignatureMalformed},
        {"a byte no base64 has", package,
         withLine(signed_(), &SignatureText::globalSignature,
                  "\xff" + signed_().globalSignature.substr(1)),
         signer.publicKeyLine(), MessageCode::SignatureMalformed},
        {"signature too short", package,
         withLine(signed_(), &SignatureText::signature, toBase64(std::string(73, 'E'))),
         signer.publicKeyLine(), MessageCode::SignatureMalformed},
        {"trusted comment changed", package,
         withLine(signed_(), &SignatureText::trustedComment, "timestamp:1\tfile:pkg.exe"),
         signer.publicKeyLine(), MessageCode::SignatureMismatch},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        serveBody(c.body);
        serveSignature(c.signature);
        const auto end = download(c.key);
        ASSERT_TRUE(end);
        if (!c.failure) {
            EXPECT_EQ(end->kind, Finished);
            EXPECT_TRUE(readFile(folder.file("pkg.exe")) == package);
            EXPECT_EQ(bytesStored(downloader), static_cast<int64_t>(package.size()));
            continue;
        }
        EXPECT_EQ(end->kind, Failed);
        EXPECT_EQ(end->reason, *c.failure);
    }
}

TEST_F(SignedPackage, ABadSignatureFileStopsTheDownloadBeforeThePackage) {
    SignatureText tampered = signer.sign(package);
    tampered.trustedComment += " (edited)";
    serveSignature(tampered.text());
    ASSERT_TRUE(download(signer.publicKeyLine()));
    serveSignature("");
    ASSERT_TRUE(download(signer.publicKeyLine()));
    serveSignature(signer.sign(package, {.trustedComment = "file:pkg.exe version:0.9"}).text());
    ASSERT_TRUE(download(signer.publicKeyLine()));
    EXPECT_EQ(packageRequests(), 0u);

    // A key that is not one refuses the download outright.
    const auto end = download("RWQ not a key");
    ASSERT_TRUE(end);
    EXPECT_EQ(end->reason, MessageCode::Refused);
    EXPECT_TRUE(server.requests().size() == 3u);
}

// Without a key nothing is fetched, unless the build's maker allowed unsigned packages.
TEST_F(SignedPackage, WithoutAKeyOnlyAnExplicitOptInTakesAPackage) {
    serveSignature(signer.sign(package).text());
    const auto refused = download("");
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->reason, MessageCode::Unsigned);
    EXPECT_TRUE(server.requests().empty());
    const auto allowed = download("", true);
    ASSERT_TRUE(allowed);
    EXPECT_EQ(allowed->kind, Finished);
}

// A signature file that trickles holds the download no longer than a trickling package does.
// The span is shortened here from the minute the component uses.
TEST(SignedTransfer, ATricklingSignatureCountsAsAStall) {
    const std::string package = makePackage(4096);
    const std::string signature = PackageSigner().sign(package).text();
    std::atomic<bool> left = false;
    PackageServer server([&](httplib::Server& s) {
        s.Get("/pkg.exe.minisig", [&](const auto& req, auto& res) {
            serve(req, res,
                  {.body = signature,
                   .byteEvery = std::chrono::milliseconds(50),
                   .ended = [&left](bool whole) { left = !whole; }});
        });
    });
    ScratchFolder folder;
    HookRecorder hooks;
    DownloadSettings settings = quickSettings(server.url("/pkg.exe"), folder.file("a.exe"), hooks);
    settings.publicKey = PackageSigner().publicKeyLine();
    settings.retryWindowMs = 500;
    Job job;
    Transfer(settings, job, {.bytesPerSecond = 1024, .span = std::chrono::seconds(1)}).run();
    // The transfer left the trickle rather than waiting for its end.
    EXPECT_TRUE(eventually([&] { return left.load(); }));
    EXPECT_EQ(hooks.kinds(), (Kinds{Failed}));
    EXPECT_EQ(hooks.events().back().reason, MessageCode::ConnectionLost);
    EXPECT_NE(hooks.messages().back().text.find("less than 1024 bytes a second"),
              std::string::npos);
    EXPECT_FALSE(fs::exists(folder.file("a.exe.part")));
}

// The check reads what was written across attempts: a resumed package and one that started over
// after the server ignored the range.
TEST(SignedTransfer, ResumedOrRestartedPackagesAreCheckedWhole) {
    const std::string package = makePackage(3 * 1024 * 1024 + 5);
    const PackageSigner signer;
    const std::string signature = signer.sign(package).text();
    std::atomic<int> served = 0;
    PackageServer server([&](httplib::Server& s) {
        s.Get("/resumes.exe", [&](const auto& req, auto& res) {
            serve(req, res,
                  {.body = package, .etag = "\"v1\"", .cutAt = ++served == 1 ? 1'000'000 : -1});
        });
        s.Get("/restarts.exe", [&](const auto& req, auto& res) {
            serve(req, res,
                  {.body = package,
                   .etag = "\"v1\"",
                   .honourRanges = false,
                   .cutAt = ++served == 1 ? 2'000'000 : -1});
        });
        s.Get(R"(/.*\.minisig)",
              [&](const auto&, auto& res) { res.set_content(signature, "text/plain"); });
    });
    ScratchFolder folder;
    Downloader downloader;
    for (const std::string path : {"/resumes.exe", "/restarts.exe"}) {
        SCOPED_TRACE(path);
        served = 0;
        HookRecorder hooks;
        const std::string target = folder.file(path.substr(1));
        DownloadSettings settings = quickSettings(server.url(path), target, hooks);
        settings.publicKey = signer.publicKeyLine();
        const auto end = runToEnd(downloader, settings, hooks);
        ASSERT_TRUE(end);
        EXPECT_EQ(hooks.kinds(), (Kinds{SizeKnown, Retrying, Finished}));
        EXPECT_TRUE(readFile(target) == package);
    }
}

// A body that ends when the connection closes, with no length and no chunks, cannot show that
// it is whole; only a signature can.
TEST(SignedTransfer, ABodyEndedByTheConnectionClosingIsTrustedOnlyWithASignature) {
    const std::string package = makePackage(50'000);
    const PackageSigner signer;
    const std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
    RawServer server(
        {{"/cut.exe", head + package.substr(0, 20'000)},
         {"/whole.exe", head + package},
         {"/cut.exe.minisig", "HTTP/1.1 200 OK\r\n\r\n" + signer.sign(package).text()},
         {"/whole.exe.minisig", "HTTP/1.1 200 OK\r\n\r\n" + signer.sign(package).text()}});
    ScratchFolder folder;
    Downloader downloader;
    const auto run = [&](const std::string& path, const std::string& key) {
        HookRecorder hooks;
        DownloadSettings settings = quickSettings(server.url(path), folder.file("p.exe"), hooks);
        settings.publicKey = key;
        return runToEnd(downloader, settings, hooks);
    };

    // Without a key, as without a signature anywhere: what came is taken.
    auto end = run("/cut.exe", "");
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_EQ(fs::file_size(folder.file("p.exe")), 20'000u);
    fs::remove(folder.file("p.exe"));

    end = run("/cut.exe", signer.publicKeyLine());
    ASSERT_TRUE(end);
    EXPECT_EQ(end->reason, MessageCode::SignatureMismatch);
    EXPECT_FALSE(fs::exists(folder.file("p.exe")));

    end = run("/whole.exe", signer.publicKeyLine());
    ASSERT_TRUE(end);
    EXPECT_EQ(end->kind, Finished);
    EXPECT_TRUE(readFile(folder.file("p.exe")) == package);
}

// Keys and signatures made by the signing tool a publisher uses: only the prehashed form with the
// package's name and version in the trusted comment is taken.
TEST(SignedTransfer, AcceptsWhatThePublisherIsToldToMake) {
    ScratchFolder folder;
    const std::string package = makePackage(300'000);
    writeFile(folder.file("pkg.exe"), package);
    const auto run = [&](const std::string& arguments) {
        const std::string command = "minisign " + arguments + " </dev/null >/dev/null";
        return std::system(command.c_str());
    };
    ASSERT_EQ(run("-G -W -p " + folder.file("key.pub") + " -s " + folder.file("key.sec")), 0)
        << "the signing tool is missing";
    const std::string named = " -t 'file:索沃电台_升级包.exe version:1.4.2'";
    const std::pair<std::string, std::string> forms[] = {
        {"published", named}, {"default", ""}, {"legacy", " -l" + named}};
    for (const auto& [form, options] : forms)
        ASSERT_EQ(run("-S -s " + folder.file("key.sec") + " -m " + folder.file("pkg.exe") + " -x " +
                      folder.file(form + ".minisig") + options),
                  0);
    const std::string keyFile = readFile(folder.file("key.pub"));
    const std::string keyLine = keyFile.substr(keyFile.find('\n') + 1);

    const std::pair<std::string, std::optional<MessageCode>> expected[] = {
        {"published", {}},
        {"default", MessageCode::PackageMismatch},
        {"legacy", MessageCode::SignatureMalformed}};
    const auto fetchWith = [&](const std::string& signature) {
        PackageServer server([&](httplib::Server& s) {
            s.Get("/pkg.exe", [&](const auto& req, auto& res) { serve(req, res, {package}); });
            s.Get("/pkg.exe.minisig",
                  [&](const auto&, auto& res) { res.set_content(signature, "text/plain"); });
        });
        HookRecorder hooks;
        Downloader downloader;
        DownloadSettings settings =
            quickSettings(server.url("/pkg.exe"), folder.file("got.exe"), hooks);
        settings.publicKey = keyLine;
        settings.packageName = "索沃电台_升级包.exe";
        settings.currentVersion = "1.4.1";
        return runToEnd(downloader, settings, hooks);
    };
    for (const auto& [form, failure] : expected) {
        SCOPED_TRACE(form);
        const auto end = fetchWith(readFile(folder.file(form + ".minisig")));
        ASSERT_TRUE(end);
        EXPECT_EQ(end->kind, failure ? Failed : Finished);
        EXPECT_EQ(end->reason, failure.value_or(MessageCode{}));
    }

    // A byte from 0x80 up where the trusted comment's signature has a '/': the tool refuses the
    // file, and so must the client, though libsodium reads that byte as '/'.
    const std::string high = folder.file("high.minisig");
    std::string text;
    for (int n = 0; text.empty(); ++n) {
        ASSERT_EQ(run("-S -s " + folder.file("key.sec") + " -m " + folder.file("pkg.exe") + " -x " +
                      high + " -t 'file:索沃电台_升级包.exe version:1.4.2 n:" + std::to_string(n) +
                      "'"),
                  0);
        text = readFile(high);
        const auto slash = text.find('/', text.find('\n', text.find("trusted comment: ")));
        if (slash == std::string::npos)
            text.clear();
        else
            text[slash] = '\xc0';
    }
    writeFile(high, text);
    EXPECT_NE(
        run("-V -p " + folder.file("key.pub") + " -m " + folder.file("pkg.exe") + " -x " + high),
        0);
    const auto end = fetchWith(text);
    ASSERT_TRUE(end);
    EXPECT_EQ(end->reason, MessageCode::SignatureMalformed);
}

} // namespace
} // namespace sorvo::download::testing
