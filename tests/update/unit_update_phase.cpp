#include "update/update_phase.h"

#include <QTest>

using namespace sorvo::update;

class UpdatePhases : public QObject {
    Q_OBJECT
  private slots:
    // Idle → Downloading → Verifying → Verified, each move only from where it belongs.
    void aDownloadGoesThroughItsPhasesInOrder() {
        UpdateProgress progress;
        QCOMPARE(progress.phase(), UpdatePhase::Idle);
        QVERIFY(!progress.running());
        QVERIFY(!progress.barAt(1000));
        QVERIFY(!progress.stored(10, 10));
        QCOMPARE(progress.phase(), UpdatePhase::Idle);

        QVERIFY(progress.start());
        QVERIFY(progress.running());
        QVERIFY(!progress.start());
        QVERIFY(!progress.stored(10, 10));
        QVERIFY(!progress.barAt(990));
        QCOMPARE(progress.phase(), UpdatePhase::Downloading);
        QVERIFY(progress.barAt(991));
        QCOMPARE(progress.phase(), UpdatePhase::Verifying);
        // The verifying display is repeated on every tick above 990, and only there.
        QVERIFY(progress.barAt(1000));
        QVERIFY(!progress.barAt(500));
        QCOMPARE(progress.phase(), UpdatePhase::Verifying);

        QVERIFY(!progress.stored(9, 10));
        QVERIFY(!progress.stored(11, 10));
        QVERIFY(!progress.stored(0, 0));
        QVERIFY(progress.stored(10, 10));
        QCOMPARE(progress.phase(), UpdatePhase::Verified);
        QVERIFY(!progress.running());
        QVERIFY(!progress.barAt(1000));
        QVERIFY(!progress.start());
    }

    // A failure is shown from any phase of a started download; the start button leaves it.
    void aFailureEndsAnyStartedPhaseAndAllowsAnotherStart() {
        for (int reached = 0; reached < 3; ++reached) {
            UpdateProgress progress;
            progress.start();
            if (reached >= 1) progress.barAt(995);
            if (reached >= 2) progress.stored(5, 5);
            QVERIFY(progress.failed());
            QCOMPARE(progress.phase(), UpdatePhase::Failed);
            QVERIFY(!progress.failed());
            QVERIFY(!progress.running());
            QVERIFY(!progress.barAt(1000));
            QVERIFY(progress.start());
            QCOMPARE(progress.phase(), UpdatePhase::Downloading);
        }
        UpdateProgress idle;
        QVERIFY(!idle.failed());
        QCOMPARE(idle.phase(), UpdatePhase::Idle);
    }
};

QTEST_APPLESS_MAIN(UpdatePhases)
#include "unit_update_phase.moc"
