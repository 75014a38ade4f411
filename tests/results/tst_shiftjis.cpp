// Text to CP932 bytes: what converts, and what is reported instead of lost.

#include "platform/ShiftJis.h"

#include <QTest>

using namespace tekkora;

class TestShiftJis : public QObject {
    Q_OBJECT
private slots:
    void convert_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("unconvertible");

        QTest::newRow("ASCII stays as it is") << QStringLiteral("3/50 %\r\n") << QByteArray("3/50 %\r\n") << QString();
        QTest::newRow("empty") << QString() << QByteArray() << QString();
        QTest::newRow("ideographic space") << QStringLiteral("\u3000") << QByteArray("\x81\x40") << QString();
        QTest::newRow("kanji") << QStringLiteral("英字") << QByteArray("\x89\x70\x8e\x9a") << QString();
        QTest::newRow("katakana and long vowel") << QStringLiteral("キー") << QByteArray("\x83\x4c\x81\x5b")
                                                 << QString();
        QTest::newRow("full-width exclamation and per cent")
            << QStringLiteral("！％") << QByteArray("\x81\x49\x81\x93") << QString();
        QTest::newRow("half-width katakana is one byte") << QStringLiteral("ﾊﾞ") << QByteArray("\xca\xde") << QString();
        QTest::newRow("Hangul is reported, the rest kept")
            << QStringLiteral("A한B") << QByteArray("AB") << QStringLiteral("한");
        QTest::newRow("each offending character named once")
            << QStringLiteral("€x€😀") << QByteArray("x") << QStringLiteral("€😀");
    }
    void convert()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, unconvertible);

        const ShiftJisText result = toShiftJis(text);
        QCOMPARE(result.bytes, bytes);
        QCOMPARE(result.ok(), unconvertible.isEmpty());
        if (!unconvertible.isEmpty())
            QVERIFY2(result.error.endsWith(QStringLiteral(": ") + unconvertible), qPrintable(result.error));
    }

    void longTextGrowsTheBuffer()
    {
        const QString text = QString(5000, QChar(0x3000)) + QStringLiteral("end");
        const ShiftJisText result = toShiftJis(text);
        QVERIFY(result.ok());
        QCOMPARE(result.bytes.size(), 10003);
        QVERIFY(result.bytes.endsWith("end"));
    }
};

QTEST_GUILESS_MAIN(TestShiftJis)
#include "tst_shiftjis.moc"
