#include "platform/BasicNumber.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <string>

using namespace tekkora;

class TestBasicNumber : public QObject {
    Q_OBJECT

private slots:
    void countFromText_data();
    void countFromText();
    void value_data();
    void value();
    void rounding_data();
    void rounding();
};

// What the settings load makes of a "Num" value.
void TestBasicNumber::countFromText_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("count");

    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("letters") << QByteArray("abc") << 0;
    QTest::newRow("half below even rounds down") << QByteArray("10.5") << 10;
    QTest::newRow("half below odd rounds up") << QByteArray("11.5") << 12;
    QTest::newRow("half of 12.5 to even") << QByteArray("12.5") << 12;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("plus sign") << QByteArray("+7") << 7;
    QTest::newRow("largest count") << QByteArray("32767") << 32767;
    QTest::newRow("hexadecimal") << QByteArray("&H1F") << 31;
    QTest::newRow("hexadecimal lower case") << QByteArray("&h1f") << 31;
    QTest::newRow("octal") << QByteArray("&O17") << 15;
    QTest::newRow("ampersand without H or O is no number") << QByteArray("&17") << 0;
    QTest::newRow("ampersand alone") << QByteArray("&") << 0;
    QTest::newRow("hex without digits") << QByteArray("&H") << 0;
    QTest::newRow("octal stops at 8") << QByteArray("&O78") << 7;
    QTest::newRow("exponent") << QByteArray("1E3") << 1000;
    QTest::newRow("D exponent") << QByteArray("1D3") << 1000;
    QTest::newRow("negative exponent") << QByteArray("25e-1") << 2;
    QTest::newRow("exponent without digits") << QByteArray("1e") << 1;
    QTest::newRow("exponent sign without digits") << QByteArray("3e+") << 3;
    QTest::newRow("blank between digits") << QByteArray("1 2") << 12;
    QTest::newRow("tab between digits") << QByteArray("1\t2") << 12;
    QTest::newRow("blank after sign") << QByteArray("- 5") << -5;
    QTest::newRow("leading blanks") << QByteArray("  42") << 42;
    QTest::newRow("above the range") << QByteArray("99999") << 32767;
    QTest::newRow("below the range") << QByteArray("-99999") << -32768;
    QTest::newRow("lowest count") << QByteArray("-32768") << -32768;
    QTest::newRow("huge exponent") << QByteArray("1E99") << 32767;
    QTest::newRow("exponent past double") << QByteArray("1E999") << 32767;
    QTest::newRow("negative past double") << QByteArray("-1E999") << -32768;
    QTest::newRow("tiny") << QByteArray("1E-999") << 0;
    QTest::newRow("point only fraction") << QByteArray(".5") << 0;
    QTest::newRow("second point ends the number") << QByteArray("1.5.5") << 2;
    QTest::newRow("trailing text") << QByteArray("30x") << 30;
    QTest::newRow("comment after number") << QByteArray("30 ;x") << 30;
    QTest::newRow("two signs") << QByteArray("--5") << 0;
    QTest::newRow("sign alone") << QByteArray("-") << 0;
    QTest::newRow("point alone") << QByteArray(".") << 0;
    QTest::newRow("zeros") << QByteArray("00010") << 10;
}

void TestBasicNumber::countFromText()
{
    QFETCH(QByteArray, text);
    QFETCH(int, count);
    QCOMPARE(int(roundToInt16Clamped(basicVal(text.toStdString()))), count);
}

void TestBasicNumber::value_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("fraction kept") << QByteArray("10.25") << 10.25;
    QTest::newRow("leading point") << QByteArray(".5") << 0.5;
    QTest::newRow("exponent with sign") << QByteArray("-2.5E+2") << -250.0;
    QTest::newRow("blanks in exponent") << QByteArray("1 E 2") << 100.0;
    // BASIC types a hex or octal literal by its value: 16-bit, then 32-bit.
    QTest::newRow("hex FFFF is an Integer") << QByteArray("&HFFFF") << -1.0;
    QTest::newRow("hex 10000 is a Long") << QByteArray("&H10000") << 65536.0;
    QTest::newRow("hex FFFFFFFF is a Long") << QByteArray("&HFFFFFFFF") << -1.0;
    QTest::newRow("hex past 32 bits") << QByteArray("&H100000000") << 4294967296.0;
    QTest::newRow("octal 177777 is an Integer") << QByteArray("&O177777") << -1.0;
    QTest::newRow("long digit run") << QByteArray(std::string(400, '9').c_str())
                                    << std::numeric_limits<double>::infinity();
    QTest::newRow("long zero run") << QByteArray((std::string(400, '0') + "7").c_str()) << 7.0;
}

void TestBasicNumber::value()
{
    QFETCH(QByteArray, text);
    QFETCH(double, value);
    QCOMPARE(basicVal(text.toStdString()), value);
}

void TestBasicNumber::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("count");

    QTest::newRow("half to zero") << 0.5 << 0;
    QTest::newRow("one and a half") << 1.5 << 2;
    QTest::newRow("two and a half") << 2.5 << 2;
    QTest::newRow("minus half") << -0.5 << 0;
    QTest::newRow("minus one and a half") << -1.5 << -2;
    QTest::newRow("minus two and a half") << -2.5 << -2;
    QTest::newRow("just above half") << 2.5000001 << 3;
    QTest::newRow("just below half") << 2.4999999 << 2;
    QTest::newRow("top half rounds out of range") << 32767.5 << 32767;
    QTest::newRow("bottom half") << -32768.5 << -32768;
    QTest::newRow("top minus a half") << 32766.5 << 32766;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << 0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 32767;
    QTest::newRow("minus infinity") << -std::numeric_limits<double>::infinity() << -32768;
    QTest::newRow("largest double") << std::numeric_limits<double>::max() << 32767;
}

void TestBasicNumber::rounding()
{
    QFETCH(double, value);
    QFETCH(int, count);
    QCOMPARE(int(roundToInt16Clamped(value)), count);
}

QTEST_GUILESS_MAIN(TestBasicNumber)
#include "tst_basicnumber.moc"
