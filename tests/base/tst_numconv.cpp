// The number rules: ties to even, overflow against type mismatch, signs, spaces and the user's
// decimal separator. CTest runs this twice, in an English and in a German locale.
#include "base/numconv.h"
#include "base/numtext.h"

#include <QLocale>
#include <QTest>

using namespace numconv;

class tst_NumConv : public QObject
{
    Q_OBJECT
private slots:
    void rounding_data();
    void rounding();
    void text_data();
    void text();
    void userDecimalSeparator();
    void singleRoundTrip();
};

void tst_NumConv::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("12.5") << 12.5 << 12;
    QTest::newRow("13.5") << 13.5 << 14;
    QTest::newRow("-12.5") << -12.5 << -12;
    QTest::newRow("-13.5") << -13.5 << -14;
    QTest::newRow("0.5") << 0.5 << 0;
    QTest::newRow("12.5000001") << 12.5000001 << 13;
    QTest::newRow("int32 max") << 2147483647.4 << 2147483647;
}

void tst_NumConv::rounding()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(toInt32(value), expected);
}

void tst_NumConv::text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected"); // the number, or the error code as a negative value
    QTest::newRow("plain") << "1234" << 1234;
    QTest::newRow("spaces") << "  1234  " << 1234;
    QTest::newRow("minus") << "-77" << -77;
    QTest::newRow("plus") << "+77" << 77;
    QTest::newRow("exponent") << "1.5E+03" << 1500;
    QTest::newRow("empty") << "" << -13;
    QTest::newRow("blank") << "   " << -13;
    QTest::newRow("letters") << "abc" << -13;
    QTest::newRow("trailing garbage") << "12abc" << -13;
    QTest::newRow("above int32") << "2147483648" << -6;
    QTest::newRow("below int32") << "-2147483649" << -6;
    QTest::newRow("huge exponent") << "1E+300" << -6;
    QTest::newRow("int32 min") << "-2147483648" << -2147483647 - 1;
}

void tst_NumConv::text()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    int result = 0;
    try {
        result = textToInt32(text);
    } catch (const TypeMismatchError &) {
        result = -13;
    } catch (const OverflowError &) {
        result = -6;
    }
    QCOMPARE(result, expected);
}

void tst_NumConv::userDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    QCOMPARE(textToInt32(QStringLiteral("100") + point + QStringLiteral("5")), 100);
    QCOMPARE(textToInt32(QStringLiteral("101") + point + QStringLiteral("5")), 102);
    QCOMPARE(textToInt16(QStringLiteral("-3") + point + QStringLiteral("5")), -4);
    QVERIFY_THROWS_EXCEPTION(OverflowError, textToInt16(QStringLiteral("32768")));
}

void tst_NumConv::singleRoundTrip()
{
    for (float value : {0.0f, 14400.0f, -7815.5f, 1.0e9f, -3.0e10f}) {
        const QString text = singleToText(value);
        QVERIFY2(!text.contains(QLocale::system().groupSeparator()) || value == 0.0f,
                 qPrintable(text));
        if (value < 2.0e9f && value > -2.0e9f)
            QCOMPARE(textToInt32(text), toInt32(value));
        else
            QVERIFY_THROWS_EXCEPTION(OverflowError, textToInt32(text));
    }
}

QTEST_APPLESS_MAIN(tst_NumConv)
#include "tst_numconv.moc"
