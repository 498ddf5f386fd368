#include "update/progress_texts.h"

#include <QTest>

using namespace sorvo::update;

namespace {
constexpr std::int64_t megabyte = 1048576;
}

class ProgressTexts : public QObject {
    Q_OBJECT
  private slots:
    void numbersAreWrittenShortestWithoutExponent() {
        QCOMPARE(decimal(52.3), QStringLiteral("52.3"));
        QCOMPARE(decimal(0), QStringLiteral("0"));
        QCOMPARE(decimal(100), QStringLiteral("100"));
        QCOMPARE(twoPlaces(1.25), QStringLiteral("1.25"));
        QCOMPARE(twoPlaces(3.0), QStringLiteral("3"));
        QCOMPARE(twoPlaces(2.996), QStringLiteral("3"));
        QCOMPARE(twoPlaces(0.125), QStringLiteral("0.13"));
        QCOMPARE(twoPlaces(0.004), QStringLiteral("0"));
        QCOMPARE(twoPlaces(2047.999), QStringLiteral("2048"));
        QCOMPARE(twoPlaces(123456789.0), QStringLiteral("123456789"));
    }

    void barPositionDropsTheFractionAndStaysInRange() {
        QCOMPARE(barPosition(megabyte * 5 / 4, megabyte * 13 / 4), 384);
        QCOMPARE(barPosition(990, 1000), 990);
        QCOMPARE(barPosition(9919, 10000), 991);
        QCOMPARE(barPosition(0, 1000), 0);
        QCOMPARE(barPosition(1000, 1000), 1000);
        // A size that shrank on the server, or a nonsense size, cannot push the bar out.
        QCOMPARE(barPosition(2000, 1000), 1000);
        QCOMPARE(barPosition(500, -1), 0);
        // Near the 32-bit limit the product does not overflow.
        QCOMPARE(barPosition(2147483000, 2147483647), 999);
    }

    void downloadingTexts() {
        QCOMPARE(downloadedText(523), QStringLiteral("已下载:52.3%"));
        QCOMPARE(downloadedText(0), QStringLiteral("已下载:0%"));
        QCOMPARE(downloadedText(1000), QStringLiteral("已下载:100%"));
        QCOMPARE(sizeProgressText(megabyte * 5 / 4, megabyte * 13 / 4),
                 QStringLiteral("进度：1.25M/3.25M"));
        QCOMPARE(sizeProgressText(0, megabyte * 3), QStringLiteral("进度：0M/3M"));
        QCOMPARE(speedText(1023), QStringLiteral("速度：0KB/秒 "));
        QCOMPARE(speedText(1024 * 48 + 1000), QStringLiteral("速度：48KB/秒 "));
        QCOMPARE(speedText(0), QStringLiteral("速度：0KB/秒 "));
    }

    void remainingTimeOnlyWhenItIsKnownAndAtLeastASecond() {
        QCOMPARE(remainingTimeText(10000, 1000, 500), QStringLiteral("剩余时间:18秒"));
        QCOMPARE(remainingTimeText(10000, 1001, 500), QStringLiteral("剩余时间:17秒"));
        QCOMPARE(remainingTimeText(10000, 9600, 500), std::nullopt);
        QCOMPARE(remainingTimeText(10000, 10000, 500), std::nullopt);
        QCOMPARE(remainingTimeText(10000, 1000, 0), std::nullopt);
        QCOMPARE(remainingTimeText(3LL * 1024 * 1024 * 1024, 0, 1),
                 QStringLiteral("剩余时间:3221225472秒"));
    }

    void verifiedTexts() {
        QCOMPARE(fileSizeText(megabyte * 13 / 4), QStringLiteral("文件大小:3.25M"));
        QCOMPARE(fileSizeText(1), QStringLiteral("文件大小:0M"));
        QCOMPARE(totalTimeText(12340), QStringLiteral("总耗时:12.34秒"));
        QCOMPARE(totalTimeText(999), QStringLiteral("总耗时:1秒"));
        QCOMPARE(totalTimeText(0), QStringLiteral("总耗时:0秒"));
    }
};

QTEST_APPLESS_MAIN(ProgressTexts)
#include "unit_progress_texts.moc"
