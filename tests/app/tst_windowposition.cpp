// The rules that turn the stored texts into the main window's position.
#include "app/windowposition.h"

#include <QTest>

using windowposition::restore;

class tst_WindowPosition : public QObject
{
    Q_OBJECT
private slots:
    void restore_data();
    void restore();
    void twipsToPixels_data();
    void twipsToPixels();
};

void tst_WindowPosition::restore_data()
{
    QTest::addColumn<QVariant>("x"); // an invalid QVariant is "nothing stored"
    QTest::addColumn<QVariant>("y");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<double>("left");
    QTest::addColumn<double>("top");
    const QVariant none;
    // Screen 28800 by 16200 twips, window 2790 by 5220: centre (13005, 5490).
    QTest::newRow("nothing stored") << none << none << true << 13005.0 << 5490.0;
    QTest::newRow("only X") << QVariant("1500") << none << true << 13005.0 << 5490.0;
    QTest::newRow("only Y") << none << QVariant("1500") << true << 13005.0 << 5490.0;
    QTest::newRow("X letters") << QVariant("left") << QVariant("300") << true << 13005.0 << 5490.0;
    QTest::newRow("both stored") << QVariant("1500") << QVariant("3000") << false << 1500.0
                                 << 3000.0;
    QTest::newRow("tie to even") << QVariant("100.5") << QVariant("101.5") << false << 100.0
                                 << 102.0;
    QTest::newRow("far off the screen")
        << QVariant("-90000") << QVariant("2000000") << false << -90000.0 << 2000000.0;
    QTest::newRow("X overflows") << QVariant("3000000000") << QVariant("1500") << false << 0.0
                                 << 1500.0;
    // The last failure decides: the overflow of Y comes after the mismatch of X.
    QTest::newRow("mismatch then overflow")
        << QVariant("abc") << QVariant("-1E+20") << false << 0.0 << 0.0;
    QTest::newRow("overflow then mismatch")
        << QVariant("1E+20") << QVariant("") << true << 13005.0 << 5490.0;
}

void tst_WindowPosition::restore()
{
    QFETCH(QVariant, x);
    QFETCH(QVariant, y);
    QFETCH(bool, centred);
    QFETCH(double, left);
    QFETCH(double, top);
    auto text = [](const QVariant &v) {
        return v.isValid() ? std::optional<QString>(v.toString()) : std::nullopt;
    };
    const auto position =
        windowposition::restore(text(x), text(y), QSizeF(28800, 16200), QSizeF(2790, 5220));
    QCOMPARE(position.centred, centred);
    QCOMPARE(position.left, left);
    QCOMPARE(position.top, top);
}

void tst_WindowPosition::twipsToPixels_data()
{
    QTest::addColumn<double>("twips");
    QTest::addColumn<double>("perPixel");
    QTest::addColumn<int>("pixels");
    QTest::newRow("96 dpi") << 1500.0 << 15.0 << 100;
    QTest::newRow("half pixel to even") << 22.5 << 15.0 << 2;
    QTest::newRow("144 dpi") << 1500.0 << 10.0 << 150;
    QTest::newRow("beyond int") << 1e12 << 15.0 << std::numeric_limits<int>::max();
}

void tst_WindowPosition::twipsToPixels()
{
    QFETCH(double, twips);
    QFETCH(double, perPixel);
    QFETCH(int, pixels);
    QCOMPARE(windowposition::twipsToPixels(twips, perPixel), pixels);
}

QTEST_APPLESS_MAIN(tst_WindowPosition)
#include "tst_windowposition.moc"
