#include "platform/engine_flags.h"

#include <QTest>

using sorvo::platform::withEngineFeatureDisabled;

class EngineFlagsTest : public QObject {
    Q_OBJECT
  private slots:
    void theFeatureJoinsTheLastList_data() {
        QTest::addColumn<QByteArray>("flags");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("none") << QByteArray() << QByteArray("--disable-features=Keys");
        QTest::newRow("other flags")
            << QByteArray(" --disable-gpu  --lang=zh ")
            << QByteArray("--disable-gpu --lang=zh --disable-features=Keys");
        QTest::newRow("a list") << QByteArray("--disable-features=A,B --disable-gpu")
                                << QByteArray("--disable-features=A,B,Keys --disable-gpu");
        QTest::newRow("an empty list")
            << QByteArray("--disable-features=") << QByteArray("--disable-features=Keys");
        QTest::newRow("already there")
            << QByteArray("--disable-features=Keys,A") << QByteArray("--disable-features=Keys,A");
        QTest::newRow("a longer name") << QByteArray("--disable-features=KeysMore")
                                       << QByteArray("--disable-features=KeysMore,Keys");
        // Only the last list counts with the engine.
        QTest::newRow("two lists") << QByteArray("--disable-features=A --disable-features=B")
                                   << QByteArray("--disable-features=A --disable-features=B,Keys");
    }

    void theFeatureJoinsTheLastList() {
        QFETCH(QByteArray, flags);
        QFETCH(QByteArray, expected);
        QCOMPARE(withEngineFeatureDisabled(flags, "Keys"), expected);
    }
};

QTEST_APPLESS_MAIN(EngineFlagsTest)

#include "unit_engine_flags.moc"
