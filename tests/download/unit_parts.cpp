#include "download/failure.h"
#include "download/low_speed.h"
#include "download/minisign_format.h"
#include "download/request.h"
#include "download/response_head.h"
#include "download/speed_meter.h"
#include "download/trusted_comment.h"
#include "support/package_signer.h"

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

TEST(ResponseHead, FlagsLengthsThatAreNoNumber) {
    for (const char* bad : {"99999999999999999999999", "-5", "12, 13", "twelve", ""}) {
        ResponseHead head;
        head.addLine("HTTP/1.1 200 OK\r\n");
        head.addLine(std::string("Content-Length: ") + bad + "\r\n");
        EXPECT_FALSE(head.lengthValid()) << bad;
    }
    ResponseHead twice;
    twice.addLine("HTTP/1.1 200 OK\r\n");
    twice.addLine("Content-Length: 10\r\n");
    twice.addLine("Content-Length: 10\r\n");
    EXPECT_TRUE(twice.lengthValid());
    twice.addLine("Content-Length: 11\r\n");
    EXPECT_FALSE(twice.lengthValid());
}

// A trickle is a stall only once a whole span has passed below the limit.
TEST(LowSpeedGuard, CountsATrickleAsAStallAfterAWholeSpan) {
    LowSpeedGuard guard({.bytesPerSecond = 1024, .span = std::chrono::seconds(60)});
    const auto start = LowSpeedGuard::Clock::now();
    guard.restart(start);
    auto now = start;
    for (int second = 1; second <= 59; ++second) {
        now = start + std::chrono::seconds(second);
        guard.add(1, now);
    }
    EXPECT_FALSE(guard.stalled(now)) << "not a whole span yet";
    now = start + std::chrono::seconds(61);
    guard.add(1, now);
    EXPECT_TRUE(guard.stalled(now));

    // A burst brings the last span's average up again; then silence brings it down.
    guard.add(70 * 1024, now);
    EXPECT_FALSE(guard.stalled(now));
    EXPECT_FALSE(guard.stalled(now + std::chrono::seconds(30)));
    EXPECT_TRUE(guard.stalled(now + std::chrono::seconds(62)));

    // A steady flow just above the limit never stalls.
    guard.restart(now);
    for (int i = 1; i <= 1300; ++i)
        guard.add(110, now + std::chrono::milliseconds(100 * i));
    EXPECT_FALSE(guard.stalled(now + std::chrono::milliseconds(130'000)));
}

TEST(Request, RedirectsFromHttpsStayOnHttps) {
    EXPECT_STREQ(redirectProtocolsFrom("https://down.example/p.exe"), "https");
    EXPECT_STREQ(redirectProtocolsFrom("HTTPS://down.example/p.exe"), "https");
    EXPECT_STREQ(redirectProtocolsFrom("http://down.example/p.exe"), "http,https");
}

// The update window tells the user why, from the reason alone.
TEST(Failure, ReasonsTellMissingSignaturesAndFullDisksApart) {
    EXPECT_EQ(statusFailure(404, MessageCode::SignatureMissing, "").failure.code,
              MessageCode::SignatureMissing);
    EXPECT_EQ(statusFailure(410, MessageCode::SignatureMissing, "").outcome, Outcome::Fatal);
    EXPECT_EQ(statusFailure(503, MessageCode::SignatureMissing, "").outcome, Outcome::Transient);
    EXPECT_EQ(statusFailure(403, MessageCode::SignatureMissing, "").failure.code,
              MessageCode::HttpError);
    const auto written = [](int error) {
        return writeFailure("write", {error, std::generic_category()}).code;
    };
    EXPECT_EQ(written(ENOSPC), MessageCode::DiskFull);
    EXPECT_EQ(written(EDQUOT), MessageCode::DiskFull);
    EXPECT_EQ(written(EFBIG), MessageCode::WriteFailed);
    EXPECT_EQ(written(EIO), MessageCode::WriteFailed);
}

// Versions are numbers part by part, not text; missing parts are 0.
TEST(TrustedComment, NamesTheFileAndANewerVersion) {
    const ExpectedPackage expected{"索沃电台_升级包.exe", "1.9"};
    const auto reason = [&](const std::string& comment) {
        const auto failure = checkTrustedComment(comment, expected);
        return failure ? failure->code : MessageCode{};
    };
    EXPECT_EQ(reason("file:索沃电台_升级包.exe version:1.10"), MessageCode{});
    EXPECT_EQ(reason("timestamp:1\tversion:2\tfile:索沃电台_升级包.exe\thashed"), MessageCode{});
    EXPECT_EQ(reason("file:索沃电台_升级包.exe version:1.9.0.0"), MessageCode::PackageTooOld);
    EXPECT_EQ(reason("file:索沃电台_升级包.exe version:1.8.99"), MessageCode::PackageTooOld);
    for (const char* garbled :
         {"version:2.0", "file:索沃电台_升级包.exe", "file:x.exe version:2",
          "file:索沃电台_升级包.exe version:2.x", "file:索沃电台_升级包.exe version:2.",
          "file:索沃电台_升级包.exe version:-2", "file:索沃电台_升级包.exe version:2 version:1"})
        EXPECT_EQ(reason(garbled), MessageCode::PackageMismatch) << garbled;
}

TEST(MinisignFormat, ReadsKeysAndSignatureFilesStrictly) {
    const testing::PackageSigner signer;
    const auto key = parsePublicKey("  " + signer.publicKeyLine() + "\n");
    ASSERT_TRUE(key);
    EXPECT_FALSE(parsePublicKey(signer.publicKeyLine().substr(4)));
    EXPECT_FALSE(parsePublicKey(""));
    // libsodium would read the high byte as '/', a key of another publisher.
    std::string highByte = signer.publicKeyLine();
    highByte.back() = '\x80';
    EXPECT_FALSE(parsePublicKey(highByte));

    const testing::SignatureText text = signer.sign("package");
    std::string crlf = text.text();
    for (std::size_t at = crlf.find('\n'); at != std::string::npos; at = crlf.find('\n', at + 2))
        crlf.insert(at, "\r");
    const auto parsed = parseSignatureFile(crlf);
    ASSERT_TRUE(std::holds_alternative<SignatureFile>(parsed));
    const auto& file = std::get<SignatureFile>(parsed);
    EXPECT_EQ(file.keyId, key->keyId);
    EXPECT_EQ(file.trustedComment, "timestamp:1700000000\tfile:pkg.exe\tversion:1.1\thashed");

    const auto refused = [](const std::string& bad) {
        return std::holds_alternative<std::string>(parseSignatureFile(bad));
    };
    EXPECT_TRUE(refused(text.text() + "one line too many\n"));
    EXPECT_TRUE(refused(text.untrustedComment + "\n" + text.signature + "\n"));
    testing::SignatureText unnamed = text;
    unnamed.untrustedComment = "comment: no";
    EXPECT_TRUE(refused(unnamed.text()));
    testing::SignatureText otherAlgorithm = text;
    otherAlgorithm.signature = testing::toBase64("Xx" + std::string(72, 'a'));
    EXPECT_TRUE(refused(otherAlgorithm.text()));
    // The older form signs the file itself: a 64-byte "package" could be any package's hash.
    EXPECT_TRUE(refused(signer.sign("package", {.legacy = true}).text()));
    testing::SignatureText shortGlobal = text;
    shortGlobal.globalSignature = testing::toBase64(std::string(63, 'g'));
    EXPECT_TRUE(refused(shortGlobal.text()));
}

} // namespace
} // namespace sorvo::download
