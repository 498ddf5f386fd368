#include "browser/load_failure.h"
#include "browser/page_keeper.h"
#include "browser/retry_schedule.h"

#include <QTest>

using namespace sorvo::browser;
using namespace std::chrono_literals;

class RecoveryRulesTest : public QObject {
    Q_OBJECT
  private slots:
    void retriesBackOffToAMinuteAndStartAgainAfterSuccess() {
        RetrySchedule schedule;
        std::vector<std::chrono::milliseconds> waits;
        for (int i = 0; i < 9; ++i)
            waits.push_back(schedule.next());
        const std::vector<std::chrono::milliseconds> expected{2s,  4s,  8s,  16s, 30s,
                                                              60s, 60s, 60s, 60s};
        QVERIFY(waits == expected);
        schedule.restart();
        QCOMPARE(schedule.next(), std::chrono::milliseconds(2s));
        QCOMPARE(schedule.next(), std::chrono::milliseconds(4s));
    }

    // Three reloads within any minute; the fourth crash in that minute gets none, and once
    // the oldest reload is a minute old there is room again. The limit is full from the third.
    void threeReloadsAMinute() {
        SlidingLimit limiter = KeeperTiming{}.crashes;
        const SlidingLimit::Clock::time_point start;
        QVERIFY(limiter.admit(start));
        QVERIFY(limiter.admit(start + 10s));
        QVERIFY(limiter.admit(start + 20s));
        QVERIFY(limiter.full(start + 20s));
        QVERIFY(!limiter.admit(start + 30s));
        QVERIFY(!limiter.admit(start + 59s));
        QVERIFY(limiter.admit(start + 60s));
        QVERIFY(!limiter.admit(start + 61s));
        QVERIFY(limiter.admit(start + 80s));
    }

    void aListenersRetryStartsTheCountAfresh() {
        SlidingLimit limiter = KeeperTiming{}.crashes;
        const SlidingLimit::Clock::time_point start;
        for (int i = 0; i < 3; ++i)
            QVERIFY(limiter.admit(start));
        QVERIFY(!limiter.admit(start + 1s));
        limiter.clear();
        for (int i = 0; i < 3; ++i)
            QVERIFY(limiter.admit(start + 2s));
        QVERIFY(!limiter.admit(start + 3s));
    }

    void whichFailuresMeanTheSiteIsUnreachable_data() {
        QTest::addColumn<int>("domain");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("unreachable");
        const auto row = [](const char* name, QWebEngineLoadingInfo::ErrorDomain domain, int code,
                            bool unreachable) {
            QTest::newRow(name) << static_cast<int>(domain) << code << unreachable;
        };
        row("connection refused", QWebEngineLoadingInfo::ConnectionErrorDomain, -102, true);
        row("no network", QWebEngineLoadingInfo::ConnectionErrorDomain, -106, true);
        row("name not resolved", QWebEngineLoadingInfo::ConnectionErrorDomain, -105, true);
        row("resolver failed", QWebEngineLoadingInfo::DnsErrorDomain, -800, true);
        row("certificate from an unknown authority", QWebEngineLoadingInfo::CertificateErrorDomain,
            -202, true);
        row("empty answer", QWebEngineLoadingInfo::HttpErrorDomain, -324, true);
        row("timed out", QWebEngineLoadingInfo::InternalErrorDomain, -7, true);
        row("network changed", QWebEngineLoadingInfo::InternalErrorDomain, -21, true);
        row("server error", QWebEngineLoadingInfo::HttpStatusCodeDomain, 500, true);
        row("service unavailable", QWebEngineLoadingInfo::HttpStatusCodeDomain, 503, true);
        row("not found", QWebEngineLoadingInfo::HttpStatusCodeDomain, 404, false);
        row("forbidden", QWebEngineLoadingInfo::HttpStatusCodeDomain, 403, false);
        row("called off", QWebEngineLoadingInfo::InternalErrorDomain, -3, false);
        row("no error", QWebEngineLoadingInfo::NoErrorDomain, 0, false);
    }
    void whichFailuresMeanTheSiteIsUnreachable() {
        QFETCH(int, domain);
        QFETCH(int, code);
        QFETCH(bool, unreachable);
        QCOMPARE(siteUnreachable(static_cast<QWebEngineLoadingInfo::ErrorDomain>(domain), code),
                 unreachable);
    }
};

QTEST_APPLESS_MAIN(RecoveryRulesTest)
#include "unit_recovery_rules.moc"
