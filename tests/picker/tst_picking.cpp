// Picking without an X server: the windows' designs, reading pixels from the frozen picture,
// what clicks append, how picking ends, and a capture that returns nothing (the minimal platform
// captures nothing, as a Wayland session without X11 access does).
#include "../support/windowfixture.h"
#include "app/frmabout.h"
#include "color/colorlabel.h"
#include "picker/frmGetColor.h"
#include "picker/frmpick.h"
#include "picker/pickcursor.h"

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

frmGetColor *pickingWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *picker = qobject_cast<frmGetColor *>(w); picker && picker->isVisible())
            return picker;
    return nullptr;
}

// Shows the main window and clicks its eyedropper; the frozen screen, if it came.
frmGetColor *startPicking(WindowFixture &f)
{
    f.window->show();
    f.window->mnustartpick_Click();
    return pickingWindow();
}

bool minimalPlatform()
{
    return QGuiApplication::platformName() == QLatin1String("minimal");
}

} // namespace

class tst_Picking : public QObject
{
    Q_OBJECT
private slots:
    void designs();
    void eyedropperCursor();
    void pixelsOutsideThePictureAreBlack();
    void leftClickWithoutMoveAppendsBlack();
    void moveThenClickAppendsThatPixel();
    void endingButtons_data();
    void endingButtons();
    void captureFailure();
    void portalMissing();
    void loupe_data();
    void loupe();
    void loupeBesideThePreview();
};

void tst_Picking::designs()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    QWidget host;
    frmpick preview(&host);
    QCOMPARE(preview.windowTitle(), QStringLiteral("Screen Color"));
    QCOMPARE(preview.size(), QSize(159, 143));
    QVERIFY(preview.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY((preview.windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    auto *stop = preview.findChild<QPushButton *>("cmdStop");
    QCOMPARE(stop->text(), QStringLiteral("Stop Picking Color"));
    QCOMPARE(stop->geometry(), QRect(-1, 114, 161, 31));
    QCOMPARE(preview.findChild<QWidget *>("lblcor")->geometry(), QRect(-4, -1, 177, 143));

    frmabout about;
    QCOMPARE(about.windowTitle(), QStringLiteral("About"));
    QCOMPARE(about.size(), QSize(228, 125));
    QVERIFY(about.windowFlags() & Qt::WindowStaysOnTopHint);
    QCOMPARE(about.findChild<QLabel *>("Label1")->text(), QStringLiteral("Huebrook 1.0"));
    QCOMPARE(about.findChild<QLabel *>("Label1")->geometry(), QRect(26, 15, 190, 14));
    QCOMPARE(about.findChild<QLabel *>("Label1")->font().pointSizeF(), 9.0);
    QVERIFY(about.findChild<QLabel *>("Label2")->text().contains("Freeware"));
    QCOMPARE(about.findChild<QPushButton *>("Cmdok")->geometry(), QRect(71, 85, 76, 25));
}

void tst_Picking::eyedropperCursor()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    const QCursor cursor = pickcursor::eyedropperCursor();
    QCOMPARE(cursor.hotSpot(), QPoint(11, 20));
    QCOMPARE(cursor.bitmap().size(), QSize(32, 32));
    // The tip lies beside the hot spot, at the lower left.
    const QImage mask = cursor.mask().toImage();
    QCOMPARE(mask.pixelIndex(10, 21), 1);
    QCOMPARE(mask.pixelIndex(2, 2), 0);
}

void tst_Picking::pixelsOutsideThePictureAreBlack()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    const QImage &picture = picker->picture();
    QVERIFY(!picture.isNull());
    const QPoint inside(picture.width() - 1, picture.height() - 1);
    const QRgb rgb = picture.pixel(inside);
    QCOMPARE(picker->pixelAt(inside), bascommon::composeColor(qRed(rgb), qGreen(rgb), qBlue(rgb)));
    for (QPoint outside :
         {QPoint(-1, 0), QPoint(0, -1), QPoint(picture.width(), 0), QPoint(0, picture.height())})
        QCOMPARE(picker->pixelAt(outside), 0);
    QTest::mouseClick(picker, Qt::RightButton);
}

void tst_Picking::leftClickWithoutMoveAppendsBlack()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    WindowFixture f("FFFFFF");
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    QVERIFY(!f.window->isVisible());
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(f.palette(), QByteArray("FFFFFF000000"));
    QCOMPARE(f.window->curColor(), 0);
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(f.palette(), QByteArray("FFFFFF000000000000")); // duplicates are appended too
    QTest::mouseClick(picker, Qt::RightButton);
}

void tst_Picking::moveThenClickAppendsThatPixel()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    QTest::mouseMove(picker, QPoint(7, 9));
    const Color expected = picker->pixelAt(QPoint(7, 9));
    QCOMPARE(picker->preview()->shownColor(), expected);
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(7, 9));
    QCOMPARE(QString::fromLatin1(f.palette()), bascommon::ColorToHex(expected).mid(1));
    QTest::mouseRelease(picker, Qt::RightButton, {}, QPoint(7, 9));
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.window->curColor(), expected);
    QVERIFY(!f.find<QWidget>("shpSelect")->isHidden());
    QCOMPARE(f.window->chartSelRecord(), 1);
}

void tst_Picking::endingButtons_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("right button") << "right";
    QTest::newRow("middle button") << "middle";
    QTest::newRow("Stop") << "stop";
    QTest::newRow("Escape") << "escape";
}

void tst_Picking::endingButtons()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    QFETCH(QString, how);
    WindowFixture f("0C0B0A");
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    QPointer<frmGetColor> guard(picker);
    if (how == "right")
        QTest::mouseRelease(picker, Qt::RightButton);
    else if (how == "middle")
        QTest::mouseRelease(picker, Qt::MiddleButton);
    else if (how == "stop")
        picker->preview()->findChild<QPushButton *>("cmdStop")->click();
    else
        QTest::keyClick(picker, Qt::Key_Escape);
    QVERIFY(f.window->isVisible());
    QVERIFY(!picker->isVisible());
    QTRY_VERIFY(guard.isNull()); // released with its picture
    QCOMPARE(f.palette(), QByteArray("0C0B0A"));
    QCOMPARE(f.window->curColor(), 0x0A0B0C);
}

void tst_Picking::captureFailure()
{
    if (!minimalPlatform())
        QSKIP("run under QT_QPA_PLATFORM=minimal, which captures nothing");
    WindowFixture f("0C0B0A");
    f.window->show();
    f.window->mnustartpick_Click();
    QVERIFY(!pickingWindow());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains("could not be captured"), qPrintable(f.errors[0]));
    QCOMPARE(f.palette(), QByteArray("0C0B0A"));
}

void tst_Picking::portalMissing()
{
    if (qEnvironmentVariable("HUEBROOK_CAPTURE") != QLatin1String("portal"))
        QSKIP("run with HUEBROOK_CAPTURE=portal and no session bus");
    WindowFixture f("0C0B0A");
    f.window->show();
    QGuiApplication::clipboard()->setText("kept");
    f.window->mnustartpick_Click();
    // Said before anything is hidden or emptied, and picking can be started again.
    QTRY_COMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains("xdg-desktop-portal with a Screenshot backend"),
             qPrintable(f.errors[0]));
    QVERIFY(f.window->isVisible());
    QVERIFY(!pickingWindow());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    QTest::qWait(10); // the failed picking window is released
    f.window->mnustartpick_Click();
    QTRY_COMPARE(f.errors.size(), 2);
}

void tst_Picking::loupe_data()
{
    QTest::addColumn<QPoint>("corner"); // which way the pointer is near the window's edges
    QTest::newRow("top left") << QPoint(0, 0);
    QTest::newRow("top right") << QPoint(1, 0);
    QTest::newRow("bottom left") << QPoint(0, 1);
    QTest::newRow("bottom right") << QPoint(1, 1);
}

void tst_Picking::loupe()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    QFETCH(QPoint, corner);
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    const QRect area = picker->rect();
    const QPoint at(corner.x() ? area.right() - 3 : 3, corner.y() ? area.bottom() - 3 : 3);
    QTest::mouseMove(picker, at);
    QCOMPARE(picker->pickPoint(), std::optional<QPoint>(at));
    const loupe::Layout layout = picker->loupeLayout();
    QVERIFY2(area.contains(layout.whole()), "the loupe left the screen");
    QVERIFY2(!layout.whole().contains(at), "the loupe covers the pixel being picked");
    // Its centre shows the pixel the next pick takes.
    const int zoom = picker->zoom();
    const QPoint centre =
        layout.box.topLeft() + QPoint(1, 1) * ((layout.cells / 2) * zoom + zoom / 2);
    QCOMPARE(picker->grab().toImage().pixel(centre) & 0xFFFFFF,
             picker->picture().pixel(at) & 0xFFFFFF);
    QTest::keyClick(picker, Qt::Key_Plus);
    QCOMPARE(picker->zoom(), zoom + 2);
    // Keys that reach the preview act on the frozen screen; Space picks, not the Stop button.
    QTest::keyClick(picker->preview(), corner.x() ? Qt::Key_Left : Qt::Key_Right);
    QCOMPARE(picker->pickPoint()->x(), at.x() + (corner.x() ? -1 : 1));
    QTest::keyClick(picker->preview(), Qt::Key_Space);
    QVERIFY(picker->isVisible());
    QCOMPARE(f.window->curColor(), picker->pixelAt(*picker->pickPoint()));
    QTest::mouseRelease(picker, Qt::RightButton);
}

void tst_Picking::loupeBesideThePreview()
{
    if (minimalPlatform())
        QSKIP("offscreen only");
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    // Just above and left of the preview, where the loupe would go under it.
    const QRect preview(picker->mapFromGlobal(picker->preview()->frameGeometry().topLeft()),
                        picker->preview()->frameGeometry().size());
    const QPoint at = preview.topLeft() - QPoint(10, 10);
    QTest::mouseMove(picker, at);
    const QRect loupe = picker->loupeLayout().whole();
    QVERIFY(!loupe.intersects(preview));
    QVERIFY(picker->rect().contains(loupe));
    QVERIFY(!loupe.contains(at));
    QTest::mouseRelease(picker, Qt::RightButton);
}

QTEST_MAIN(tst_Picking)
#include "tst_picking.moc"
