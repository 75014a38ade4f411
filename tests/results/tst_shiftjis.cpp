// Text to CP932 bytes: what converts, and what is reported instead of lost;
// and back, strictly: bytes that are no CP932 text are refused whole.

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
        // A form must read back as the same character, not as a look-alike.
        QTest::newRow("yen sign: 0x5C reads as a backslash") << QStringLiteral("¥5") << QByteArray("5")
                                                             << QStringLiteral("¥");
        QTest::newRow("wave dash: 0x8160 reads as the full-width tilde")
            << QStringLiteral("〜～") << QByteArray("\x81\x60") << QStringLiteral("〜");
        QTest::newRow("a lone surrogate") << QString(QChar(0xD800)) + QLatin1Char('a') << QByteArray("a")
                                          << QString(QChar(0xD800));
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

    void decode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<QString>("text");

        QTest::newRow("ASCII") << QByteArray("3/50 %") << true << QStringLiteral("3/50 %");
        QTest::newRow("empty") << QByteArray() << true << QString();
        QTest::newRow("kanji and ideographic space") << QByteArray("\x89\x70\x8e\x9a\x81\x40") << true
                                                     << QStringLiteral("英字\u3000");
        QTest::newRow("backslash stays a backslash") << QByteArray("a\\b") << true << QStringLiteral("a\\b");
        QTest::newRow("half-width katakana") << QByteArray("\xca\xde") << true << QStringLiteral("ﾊﾞ");
        QTest::newRow("NUL is a character") << QByteArray("a\0b", 3) << true << QString(QStringLiteral("a\0b").data(), 3);
        QTest::newRow("a lead byte cut off at the end") << QByteArray("ab\x81") << false << QString();
        QTest::newRow("a lead byte before a blank") << QByteArray("\x81 x") << false << QString();
        QTest::newRow("a byte CP932 never uses") << QByteArray("a\x80" "b") << false << QString();
        QTest::newRow("0xFD to 0xFF") << QByteArray("\xfd\xfe\xff") << false << QString();
        QTest::newRow("0xA0") << QByteArray("a\xa0") << false << QString();
        QTest::newRow("user-defined area: private use") << QByteArray("\xf0\x40") << true << QStringLiteral("\ue000");
        QTest::newRow("an undefined row") << QByteArray("\x85\x40") << false << QString();
        // Decoding alone cannot tell a UTF-8 text: some read as other characters.
        QTest::newRow("UTF-8 of 英 reads as 闍ｱ") << QByteArray("\xe8\x8b\xb1") << true << QStringLiteral("闍ｱ");
        QTest::newRow("UTF-8 of 秒 does not read") << QByteArray("\xe7\xa7\x92") << false << QString();
    }
    void decode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        QFETCH(QString, text);

        // One decoder for every row: a failed text must not leave it in a
        // state that spoils the next.
        static ShiftJisDecoder decoder;
        const std::optional<QString> decoded = decoder.decode(bytes);
        QCOMPARE(decoded.has_value(), readable);
        if (readable)
            QCOMPARE(*decoded, text);
        QCOMPARE(decoder.decode(QByteArray("\x89\x70")), std::optional<QString>(QStringLiteral("英")));
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
