#include "numbers.h"
#include "runtimeerror.h"

#include <QTest>

#include <cmath>
#include <limits>

class tst_Numbers : public QObject
{
    Q_OBJECT

private slots:
    void scanNumber_data();
    void scanNumber();
    void scanNumberOverflow_data();
    void scanNumberOverflow();
    void roundHalfEven_data();
    void roundHalfEven();
    void toInt16_data();
    void toInt16();
    void toInt16Overflow_data();
    void toInt16Overflow();
    void toInt32Edges();
    void formatNumber_data();
    void formatNumber();
};

void tst_Numbers::scanNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("50") << "50" << 50.0;
    QTest::newRow("12.5 keeps its fraction") << "12.5" << 12.5;
    QTest::newRow("50% stops at the percent sign") << "50%" << 50.0;
    QTest::newRow("7 5 reads as 75") << "7 5" << 75.0;
    QTest::newRow("1E2 is 100") << "1E2" << 100.0;
    QTest::newRow("1e2 is 100") << "1e2" << 100.0;
    QTest::newRow("1D2 is 100") << "1D2" << 100.0;
    QTest::newRow("2.5E-1 is 0.25") << "2.5E-1" << 0.25;
    QTest::newRow("1E+3 is 1000") << "1E+3" << 1000.0;
    QTest::newRow("&H20 is 32") << "&H20" << 32.0;
    QTest::newRow("&hff is 255") << "&hff" << 255.0;
    QTest::newRow("&O17 is 15") << "&O17" << 15.0;
    QTest::newRow("&O18 stops at 8") << "&O18" << 1.0;
    QTest::newRow("&H alone is 0") << "&H" << 0.0;
    QTest::newRow("&O alone is 0") << "&O" << 0.0;
    QTest::newRow("& followed by digits is 0") << "&17" << 0.0;
    QTest::newRow("-10") << "-10" << -10.0;
    QTest::newRow("+10") << "+10" << 10.0;
    QTest::newRow("- 10 skips the blank") << "- 10" << -10.0;
    QTest::newRow("12,5 stops at the comma") << "12,5" << 12.0;
    QTest::newRow("empty text is 0") << "" << 0.0;
    QTest::newRow("blanks only are 0") << "   " << 0.0;
    QTest::newRow("a lone minus is 0") << "-" << 0.0;
    QTest::newRow("a lone point is 0") << "." << 0.0;
    QTest::newRow("letters only are 0") << "abc" << 0.0;
    QTest::newRow(".5 is a half") << ".5" << 0.5;
    QTest::newRow("-.5 is minus a half") << "-.5" << -0.5;
    QTest::newRow("5. is 5") << "5." << 5.0;
    QTest::newRow("1e without digits is 1") << "1e" << 1.0;
    QTest::newRow("1E+ without digits is 1") << "1E+" << 1.0;
    QTest::newRow("E2 without a mantissa is 0") << "E2" << 0.0;
    QTest::newRow("1.2.3 stops at the second point") << "1.2.3" << 1.2;
    QTest::newRow("--5 is 0") << "--5" << 0.0;
    QTest::newRow("leading tab") << "\t42" << 42.0;
    QTest::newRow("leading line feed") << "\n42" << 42.0;
    QTest::newRow("blanks, tabs and line feeds inside") << "1 \t\n2" << 12.0;
    QTest::newRow("carriage return ends the number") << "1\r2" << 1.0;
    QTest::newRow("1 E 2 skips blanks in the exponent") << "1 E 2" << 100.0;
    QTest::newRow("& H 20 skips blanks in the prefix") << "& H 20" << 32.0;
    QTest::newRow("non-ASCII digits are not digits") << QString::fromUtf8("\u0661\u0662") << 0.0;
    QTest::newRow("fullwidth digits are not digits") << QString::fromUtf8("\uFF11") << 0.0;
    QTest::newRow("leading zeros") << "007" << 7.0;
    QTest::newRow("tiny exponent underflows to 0") << "1E-400" << 0.0;
    QTest::newRow("huge exponent of zero is 0") << "0E999999" << 0.0;
    QTest::newRow("many zeros then a digit") << "0.000000000000000000001" << 1e-21;
    QTest::newRow("x is 0") << "x" << 0.0;
}

void tst_Numbers::scanNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(::scanNumber(text), expected);
}

void tst_Numbers::scanNumberOverflow_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("1E400") << "1E400";
    QTest::newRow("-1E400") << "-1E400";
    QTest::newRow("exponent with many digits") << "1E99999999999999999999";
    QTest::newRow("400 digits") << QString(400, u'9');
}

void tst_Numbers::scanNumberOverflow()
{
    QFETCH(QString, text);
    try {
        ::scanNumber(text);
        QFAIL("no overflow");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), ErrorKind::Overflow);
    }
}

void tst_Numbers::roundHalfEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("12.5 rounds to 12") << 12.5 << 12.0;
    QTest::newRow("13.5 rounds to 14") << 13.5 << 14.0;
    QTest::newRow("-2.5 rounds to -2") << -2.5 << -2.0;
    QTest::newRow("-3.5 rounds to -4") << -3.5 << -4.0;
    QTest::newRow("0.5 rounds to 0") << 0.5 << 0.0;
    QTest::newRow("48.35 rounds to 48") << 48.35 << 48.0;
    QTest::newRow("5076.67 rounds to 5077") << 15230.0 / 3 << 5077.0;
    QTest::newRow("2.4999 rounds down") << 2.4999 << 2.0;
    QTest::newRow("-0.4 rounds to 0") << -0.4 << 0.0;
}

void tst_Numbers::roundHalfEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(::roundHalfEven(value), expected);
}

void tst_Numbers::toInt16_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("50") << 50.0 << 50;
    QTest::newRow("12.5 gives 12") << 12.5 << 12;
    QTest::newRow("13.5 gives 14") << 13.5 << 14;
    QTest::newRow("-2.5 gives -2") << -2.5 << -2;
    QTest::newRow("32767") << 32767.0 << 32767;
    QTest::newRow("32767.4 gives 32767") << 32767.4 << 32767;
    QTest::newRow("-32768") << -32768.0 << -32768;
    QTest::newRow("-32768.5 gives -32768") << -32768.5 << -32768;
}

void tst_Numbers::toInt16()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(::toInt16(value)), expected);
}

void tst_Numbers::toInt16Overflow_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("32767.5 rounds to 32768") << 32767.5;
    QTest::newRow("40000") << 40000.0;
    QTest::newRow("1E6") << 1e6;
    QTest::newRow("-32768.6") << -32768.6;
    QTest::newRow("-32769") << -32769.0;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN();
}

void tst_Numbers::toInt16Overflow()
{
    QFETCH(double, value);
    try {
        ::toInt16(value);
        QFAIL("no overflow");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), ErrorKind::Overflow);
        QVERIFY(!error.message().isEmpty());
    }
}

void tst_Numbers::toInt32Edges()
{
    QCOMPARE(::toInt32(2147483647.0), 2147483647);
    QCOMPARE(::toInt32(-2147483648.5), std::numeric_limits<std::int32_t>::min());
    QVERIFY_THROWS_EXCEPTION(RuntimeError, ::toInt32(2147483647.5));
}

void tst_Numbers::formatNumber_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("german");
    QTest::newRow("whole number") << 8.0 << "8" << "8";
    QTest::newRow("fraction") << 3.5 << "3.5" << "3,5";
    QTest::newRow("negative") << -2.0 << "-2" << "-2";
    QTest::newRow("zero") << 0.0 << "0" << "0";
    QTest::newRow("negative zero") << -0.0 << "0" << "0";
    QTest::newRow("15 digits stay plain") << 123456789012345.0 << "123456789012345" << "123456789012345";
    QTest::newRow("1E+15") << 1e15 << "1E+15" << "1E+15";
    QTest::newRow("16 digits round to 15") << 1234567890123456.0 << "1.23456789012346E+15" << "1,23456789012346E+15";
    QTest::newRow("small fraction") << 0.25 << "0.25" << "0,25";
    QTest::newRow("1.5E-05") << 1.5e-5 << "1.5E-05" << "1,5E-05";
    QTest::newRow("1.1 shows no noise digits") << 1.1 << "1.1" << "1,1";
}

void tst_Numbers::formatNumber()
{
    QFETCH(double, value);
    QFETCH(QString, c);
    QFETCH(QString, german);
    QCOMPARE(::formatNumber(value, QLocale::c()), c);
    QCOMPARE(::formatNumber(value, QLocale(QLocale::German, QLocale::Germany)), german);
}

QTEST_APPLESS_MAIN(tst_Numbers)
#include "tst_numbers.moc"
