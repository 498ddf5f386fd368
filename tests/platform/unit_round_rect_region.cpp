#include "platform/platform.h"

#include <QTest>

using sorvo::platform::roundRectRegion;

namespace {
// Pixels cut from each of the first rows of a corner by an 11 × 11 ellipse whose centre lies
// 5.5 pixels in from both edges.
constexpr int expectedCuts[] = {3, 2, 1};

int area(const QRegion& region) {
    int sum = 0;
    for (const QRect& r : region)
        sum += r.width() * r.height();
    return sum;
}
} // namespace

class RoundRectRegionTest : public QObject {
    Q_OBJECT
  private slots:
    void cornersAreQuarterEllipsesAtEverySize_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("main window") << 960 << 440;
        QTest::newRow("splash") << 770 << 330;
        QTest::newRow("update window") << 376 << 277;
        QTest::newRow("odd tiny") << 13 << 12;
    }

    void cornersAreQuarterEllipsesAtEverySize() {
        QFETCH(int, width);
        QFETCH(int, height);
        const QRegion region = roundRectRegion(width, height, 11, 11);
        // Like the system's rounded regions, it stops one column and one row short.
        const int right = width - 2;
        const int bottom = height - 2;
        QCOMPARE(region.boundingRect(), QRect(0, 0, width - 1, height - 1));
        for (int row = 0; row < 3; ++row) {
            const int cut = expectedCuts[row];
            for (int y : {row, bottom - row}) {
                QVERIFY2(!region.contains(QPoint(cut - 1, y)), qPrintable(QString::number(y)));
                QVERIFY(region.contains(QPoint(cut, y)));
                QVERIFY(region.contains(QPoint(right - cut, y)));
                QVERIFY(!region.contains(QPoint(right - cut + 1, y)));
            }
        }
        // From the fourth row on, the edges are straight.
        QVERIFY(region.contains(QPoint(0, 3)));
        QVERIFY(region.contains(QPoint(right, bottom - 3)));
        QVERIFY(!region.contains(QPoint(right + 1, bottom - 3)));
        QVERIFY(!region.contains(QPoint(width / 2, bottom + 1)));
        QCOMPARE(area(region), (width - 1) * (height - 1) - 4 * (3 + 2 + 1));
    }

    // The rows the system hands back for CreateRoundRectRgn(0, 0, 13, 12, 11, 11), as
    // left–right spans per row.
    void matchesTheSystemRegionRowForRow() {
        const int spans[][2] = {{3, 9},  {2, 10}, {1, 11}, {0, 12}, {0, 12}, {0, 12},
                                {0, 12}, {0, 12}, {1, 11}, {2, 10}, {3, 9}};
        QRegion expected;
        for (int y = 0; y < 11; ++y)
            expected += QRect(spans[y][0], y, spans[y][1] - spans[y][0], 1);
        QCOMPARE(roundRectRegion(13, 12, 11, 11), expected);
    }

    void degenerateSizesStayInsideTheWindow() {
        QVERIFY(roundRectRegion(0, 440, 11, 11).isEmpty());
        QVERIFY(roundRectRegion(1, 1, 11, 11).isEmpty() ||
                QRegion(0, 0, 1, 1).contains(roundRectRegion(1, 1, 11, 11).boundingRect()));
        QCOMPARE(roundRectRegion(40, 20, 1, 1), QRegion(0, 0, 40, 20));
        const QRegion small = roundRectRegion(6, 6, 11, 11);
        QVERIFY(QRegion(0, 0, 6, 6).contains(small.boundingRect()));
        QVERIFY(small.contains(QPoint(3, 3)));
    }
};

QTEST_APPLESS_MAIN(RoundRectRegionTest)
#include "unit_round_rect_region.moc"
