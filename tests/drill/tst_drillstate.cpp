// The drill state's own arithmetic: the key table, the accuracy figure, the
// elapsed time across the tick counter's wraps, and the checked counts.

#include "drill/DrillState.h"
#include "platform/CheckedInt.h"

#include <QTest>

#include <limits>

using namespace tekkora;

class TestDrillState : public QObject {
    Q_OBJECT
private slots:
    void keyTableStartsEmptyAndFillsLettersThenDigits()
    {
        KeyTable table{};
        QVERIFY(std::all_of(table.begin(), table.end(), [](auto v) { return v == 0; }));
        fillKeyTable(table);
        QCOMPARE(table[0], 65);
        QCOMPARE(table[25], 90);
        QCOMPARE(table[26], 48);
        QCOMPARE(table[35], 57);
        QCOMPARE(table[36], 0);
        const KeyTable once = table;
        fillKeyTable(table);
        QVERIFY(table == once);
    }

    void accuracy_data()
    {
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("misses");
        QTest::addColumn<float>("expected");
        QTest::newRow("no misses is exactly 100") << 10 << 0 << 100.0f;
        QTest::newRow("one in ten") << 10 << 1 << 90.0f;
        QTest::newRow("one in three") << 3 << 1 << 66.7f;
        QTest::newRow("one in seven") << 7 << 1 << 85.7f;
        QTest::newRow("one in eight") << 8 << 1 << 87.5f;
        QTest::newRow("all missed") << 5 << 5 << 0.0f;
        QTest::newRow("longest run, one miss") << 32767 << 1 << 100.0f;
        QTest::newRow("thousandths round to nearest") << 1000 << 1 << 99.9f;
    }
    void accuracy()
    {
        QFETCH(int, questions);
        QFETCH(int, misses);
        QFETCH(float, expected);
        // Compared bit for bit: the score log relies on the exact value.
        QCOMPARE(computeAccuracy(std::int16_t(questions), std::int16_t(misses)), expected);
    }

    void elapsed_data()
    {
        QTest::addColumn<qint64>("start");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<double>("seconds");
        QTest::newRow("plain") << qint64(1000) << qint64(27150) << 26.15;
        QTest::newRow("across the unsigned wrap") << qint64(-500) << qint64(1500) << 2.0;
        QTest::newRow("across the signed wrap")
            << qint64(std::numeric_limits<std::int32_t>::max() - 999) << qint64(std::numeric_limits<std::int32_t>::min() + 1000)
            << 2.0;
        QTest::newRow("zero") << qint64(42) << qint64(42) << 0.0;
    }
    void elapsed()
    {
        QFETCH(qint64, start);
        QFETCH(qint64, end);
        QFETCH(double, seconds);
        QCOMPARE(elapsedSeconds(std::int32_t(start), std::int32_t(end)), seconds);
    }

    void checkedArithmeticRefusesToWrap()
    {
        QCOMPARE(checkedAdd16(32766, 1), std::int16_t(32767));
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedAdd16(32767, 1));
        QCOMPARE(checkedSub16(-32767, 1), std::int16_t(-32768));
        QVERIFY_THROWS_EXCEPTION(OverflowError, checkedSub16(-32768, 1));
    }

    void captions_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("caption");
        QTest::newRow("thirty") << 30 << QStringLiteral("30回");
        QTest::newRow("unlimited") << 32767 << QStringLiteral("無制限");
        QTest::newRow("from the settings file") << 20 << QStringLiteral("20回");
        QTest::newRow("negative") << -5 << QStringLiteral("-5回");
    }
    void captions()
    {
        QFETCH(int, limit);
        QFETCH(QString, caption);
        QCOMPARE(questionLimitText(std::int16_t(limit)), caption);
    }
};

QTEST_GUILESS_MAIN(TestDrillState)
#include "tst_drillstate.moc"
