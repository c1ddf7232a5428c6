// Picking without an X server, from a fixed picture: the windows' designs, reading pixels from
// the frozen picture, what clicks append, how picking ends, a session without a main window,
// and captures that fail (the minimal platform's grab captures nothing, as a Wayland session
// without X11 access does).
#include "../support/windowfixture.h"
#include "app/frmabout.h"
#include "color/visiondeficiency.h"
#include "formats/copysettings.h"
#include "picker/frmGetColor.h"
#include "picker/frmpick.h"
#include "picker/pickcursor.h"
#include "picker/pickingsession.h"
#include "picker/samplesettings.h"
#include "picker/sampling.h"
#include "ui/colorlabel.h"

#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

// Shows the main window and clicks its eyedropper; the primary screen's frozen window.
frmGetColor *startPicking(WindowFixture &f)
{
    f.window->show();
    f.window->mnustartpick_Click();
    // The capture starts from the event loop, once the main window has gone.
    (void)QTest::qWaitFor([&] {
        PickingSession *session = f.window->picking();
        return !session || !session->windows().isEmpty();
    });
    PickingSession *session = f.window->picking();
    return session && !session->windows().isEmpty() ? session->windows().first() : nullptr;
}

PickingSession &sessionOf(const WindowFixture &f)
{
    return *f.window->picking();
}

// Sent, not simulated: the minimal platform moves no pointer for QTest::mouseMove.
void moveTo(QWidget *window, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(at), window->mapToGlobal(QPointF(at)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
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
    void designs_data();
    void designs();
    void eyedropperCursor();
    void pixelsOutsideThePictureAreBlack();
    void leftClickWithoutMoveAppendsBlack();
    void moveThenClickAppendsThatPixel();
    void endingButtons_data();
    void endingButtons();
    void sessionWithoutMainWindow();
    void copyEachPick();
    void vShowsWhatADeficiencySees();
    void captureFailure();
    void portalMissing();
    void singlePickWithoutCapture_data();
    void singlePickWithoutCapture();
    void sampleMean_data();
    void sampleMean();
    void loupe_data();
    void loupe();
    void loupeBesideThePreview();
    void aPickThatCannotBeKeptEndsPicking();
    void smallWheelStepsAddUp_data();
    void smallWheelStepsAddUp();
};

void tst_Picking::designs_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("name"); // empty for the window itself
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text"); // the title, caption or label, up to its first variable
    QTest::newRow("preview") << "frmpick"
                             << "" << QRect(0, 0, 159, 143) << "Screen Color";
    QTest::newRow("preview: Stop") << "frmpick"
                                   << "cmdStop" << QRect(-1, 114, 161, 31) << "Stop Picking Color";
    QTest::newRow("preview: color") << "frmpick"
                                    << "lblcor" << QRect(-4, -1, 177, 143) << "";
    QTest::newRow("About") << "frmabout"
                           << "" << QRect(0, 0, 228, 125) << "About";
    QTest::newRow("About: title") << "frmabout"
                                  << "Label1" << QRect(26, 15, 190, 14) << "Huebrook 1.0";
    QTest::newRow("About: maker") << "frmabout"
                                  << "Label2" << QRect(26, 62, 171, 17) << "Freeware by ";
    QTest::newRow("About: OK") << "frmabout"
                               << "Cmdok" << QRect(71, 85, 76, 25) << "OK";
}

void tst_Picking::designs()
{
    QFETCH(QString, window);
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QWidget host;
    frmpick preview(&host);
    frmabout about;
    QWidget *top = window == "frmpick" ? static_cast<QWidget *>(&preview) : &about;
    QVERIFY(top->windowFlags() & Qt::WindowStaysOnTopHint);
    QWidget *control = name.isEmpty() ? top : top->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(name.isEmpty() ? control->rect() : control->geometry(), geometry);
    const QString shown =
        name.isEmpty() ? control->windowTitle() : control->property("text").toString();
    QCOMPARE(shown.left(text.size()), text);
    QVERIFY((preview.windowFlags() & Qt::WindowType_Mask) == Qt::Tool);
    QCOMPARE(about.findChild<QLabel *>("Label1")->font().pointSizeF(), 9.0);
}

void tst_Picking::eyedropperCursor()
{
    const QCursor cursor = pickcursor::eyedropperCursor();
    QCOMPARE(cursor.hotSpot(), QPoint(11, 20));
    // A pixmap with alpha, which Wayland shows; the tip lies beside the hot spot, lower left.
    const QImage image = cursor.pixmap().toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QVERIFY(image.hasAlphaChannel());
    QCOMPARE(image.pixel(10, 21), qRgb(0, 0, 0));
    QCOMPARE(image.pixel(18, 13), qRgb(255, 255, 255)); // the glass
    QCOMPARE(qAlpha(image.pixel(2, 2)), 0);
}

void tst_Picking::pixelsOutsideThePictureAreBlack()
{
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    const QImage &picture = picker->picture();
    QCOMPARE(picture.size(), picker->size() * picker->devicePixelRatio());
    const QPoint inside(picture.width() - 1, picture.height() - 1);
    const QRgb rgb = patternPicture(picture.size()).pixel(inside);
    QCOMPARE(picker->pixelAt(inside), bascommon::composeColor(qRed(rgb), qGreen(rgb), qBlue(rgb)));
    for (QPoint outside :
         {QPoint(-1, 0), QPoint(0, -1), QPoint(picture.width(), 0), QPoint(0, picture.height())})
        QCOMPARE(picker->pixelAt(outside), 0);
    QTest::mouseClick(picker, Qt::RightButton);
}

void tst_Picking::leftClickWithoutMoveAppendsBlack()
{
    WindowFixture f("FFFFFF");
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    QVERIFY(!f.window->isVisible());
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(f.window->curColor(), 0);
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("FFFFFF000000"));
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(20, 20));
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("FFFFFF000000000000")); // duplicates are appended too
    QTest::mouseClick(picker, Qt::RightButton);
}

void tst_Picking::moveThenClickAppendsThatPixel()
{
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    moveTo(picker, QPoint(7, 9));
    const Color expected = bascommon::composeColor(7, 9, 0); // the pattern's pixel there
    QCOMPARE(sessionOf(f).preview()->shownColor(), expected);
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(7, 9));
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("070900"));
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
        sessionOf(f).preview()->findChild<QPushButton *>("cmdStop")->click();
    else
        QTest::keyClick(picker, Qt::Key_Escape);
    QVERIFY(f.window->isVisible());
    QVERIFY(!picker->isVisible());
    QTRY_VERIFY(guard.isNull()); // released with its picture
    QCOMPARE(f.palette(), QByteArray("0C0B0A"));
    QCOMPARE(f.window->curColor(), 0x0A0B0C);
}

void tst_Picking::sessionWithoutMainWindow()
{
    PickingSession session(new FakeCapture);
    QSignalSpy picked(&session, &PickingSession::picked);
    QSignalSpy finished(&session, &PickingSession::finished);
    session.start();
    QTRY_COMPARE(session.windows().size(), 1);
    frmGetColor *picker = session.windows().first();
    QVERIFY(picker->isVisible() && session.preview()->isVisible());
    moveTo(picker, QPoint(30, 4));
    QTest::keyClick(picker, Qt::Key_Space);
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked[0][0].value<Color>(), bascommon::composeColor(30, 4, 0));
    QVERIFY(finished.isEmpty());
    QTest::keyClick(picker, Qt::Key_Escape);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!picker->isVisible() && !session.preview()->isVisible());
}

void tst_Picking::copyEachPick()
{
    CopySettings(QStringLiteral("tst-copy-each-pick")).write({});
    WindowFixture f("0C0B0A", QStringLiteral("tst-copy-each-pick"));
    QCOMPARE(f.action("mnuCopycss-hsl")->text(), QStringLiteral("hsl(30, 9%, 4%)"));
    f.action("mnuCopycss-rgb")->trigger(); // the format chosen last
    f.action("mnuCopyEachPick")->trigger();
    frmGetColor *picker = startPicking(f);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString()); // emptied all the same
    for (int x : {7, 8}) {
        moveTo(picker, QPoint(x, 9));
        QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(x, 9));
        QVERIFY(f.idle());
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("rgb(%1, 9, 0)").arg(x));
    }
    QTest::mouseRelease(picker, Qt::RightButton);
    const CopyChoices kept = CopySettings(QStringLiteral("tst-copy-each-pick")).read();
    QVERIFY(kept.eachPick && f.action("mnuCopyEachPick")->isChecked());
    QCOMPARE(kept.last, QStringLiteral("css-rgb"));
}

void tst_Picking::captureFailure()
{
    // The minimal platform's own grab fails; elsewhere a backend that fails stands in for it.
    WindowFixture f("0C0B0A");
    if (minimalPlatform())
        f.window->createCapture = [] { return createGrabCapture(nullptr); };
    else
        f.window->createCapture = [] { return new FakeCapture("could not be captured"); };
    f.window->show();
    f.window->mnustartpick_Click();
    QTRY_VERIFY(!f.window->picking());
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains("could not be captured"), qPrintable(f.errors[0]));
    QCOMPARE(f.palette(), QByteArray("0C0B0A"));
}

void tst_Picking::portalMissing()
{
    // No session bus: the portal cannot even be asked.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent");
    WindowFixture f("0C0B0A");
    f.window->createCapture = [] { return createPortalCapture(nullptr); };
    f.window->show();
    QGuiApplication::clipboard()->setText("kept");
    f.window->mnustartpick_Click();
    // Said before anything is hidden or emptied, and picking can be started again.
    QTRY_COMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains("xdg-desktop-portal with a Screenshot backend"),
             qPrintable(f.errors[0]));
    QVERIFY(f.window->isVisible());
    QVERIFY(!f.window->picking());
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
    QTest::qWait(10); // the failed session is released
    f.window->mnustartpick_Click();
    QTRY_COMPARE(f.errors.size(), 2);
}

void tst_Picking::singlePickWithoutCapture_data()
{
    QTest::addColumn<bool>("later");
    QTest::addColumn<bool>("shown"); // the main window before the request
    QTest::newRow("fails inside start, hidden") << false << false;
    QTest::newRow("fails later, hidden") << true << false;
    QTest::newRow("fails inside start, shown") << false << true;
    QTest::newRow("fails later, shown") << true << true;
}

void tst_Picking::singlePickWithoutCapture()
{
    QFETCH(bool, later);
    QFETCH(bool, shown);
    WindowFixture f("0C0B0A");
    f.window->createCapture = [later] { return new FakeCapture("could not be captured", later); };
    f.window->setVisible(shown);
    QStringList answers;
    const bool started = f.window->pickFromCommand([&](std::optional<Color> color, QString why) {
        answers << (color ? QStringLiteral("color") : why);
    });
    QVERIFY(started);
    QTRY_COMPARE(answers, QStringList{"could not be captured"});
    QTest::qWait(20); // nothing more comes, nor does a second request answer the first's
    QCOMPARE(answers.size(), 1);
    QCOMPARE(f.window->isVisible(), shown);
    QVERIFY(f.errors.isEmpty()); // said in the answer alone
    QVERIFY(!f.window->picking());
    f.window->createCapture = [] { return new FakeCapture; };
    f.window->mnustartpick_Click();
    QTRY_VERIFY(!sessionOf(f).windows().isEmpty());
    QTest::mouseRelease(sessionOf(f).windows().first(), Qt::LeftButton);
    QTest::mouseRelease(sessionOf(f).windows().first(), Qt::RightButton);
    QVERIFY(f.idle());
    QCOMPARE(answers.size(), 1);
    QCOMPARE(f.palette(), QByteArray("0C0B0A000000"));
}

void tst_Picking::sampleMean_data()
{
    QTest::addColumn<QImage>("picture");
    QTest::addColumn<QPoint>("centre");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("mean");
    // White where x + y is even, black elsewhere.
    QImage checks(8, 6, QImage::Format_RGB32);
    for (int y = 0; y < checks.height(); ++y)
        for (int x = 0; x < checks.width(); ++x)
            checks.setPixel(x, y, (x + y) % 2 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    // Each channel apart, and a half that rounds up where halfway-to-even would not.
    QImage channels(3, 1, QImage::Format_RGB32);
    channels.setPixel(0, 0, qRgb(2, 0, 255));
    channels.setPixel(1, 0, qRgb(3, 1, 0));
    channels.setPixel(2, 0, qRgb(13, 2, 0));
    QTest::newRow("the pixel itself") << checks << QPoint(2, 3) << 1 << "#000000";
    QTest::newRow("five white, four black") << checks << QPoint(2, 2) << 3 << "#8E8E8E";
    QTest::newRow("2x2 corner") << checks << QPoint(0, 0) << 3 << "#808080";
    QTest::newRow("left edge: 15 of 25") << checks << QPoint(0, 2) << 5 << "#888888";
    QTest::newRow("far corner") << checks << QPoint(7, 5) << 31 << "#808080";
    QTest::newRow("outside") << checks << QPoint(-1, 0) << 1 << "#000000";
    QTest::newRow("box wholly outside") << checks << QPoint(-2, -2) << 3 << "#000000";
    QTest::newRow("box reaching in") << checks << QPoint(-1, -1) << 3 << "#FFFFFF";
    QTest::newRow("channels, half up") << channels << QPoint(0, 0) << 3 << "#030180";
    QTest::newRow("channels, all three") << channels << QPoint(1, 0) << 3 << "#060155";
}

void tst_Picking::sampleMean()
{
    QFETCH(QImage, picture);
    QFETCH(QPoint, centre);
    QFETCH(int, size);
    QFETCH(QString, mean);
    QCOMPARE(bascommon::ColorToHex(sampling::mean(picture, centre, size)), mean);
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
    QFETCH(QPoint, corner);
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    const QRect area = picker->rect();
    const QPoint at(corner.x() ? area.right() - 3 : 3, corner.y() ? area.bottom() - 3 : 3);
    moveTo(picker, at);
    QCOMPARE(picker->pickPoint(), std::optional<QPoint>(at));
    const loupe::Layout layout = picker->loupeLayout();
    QVERIFY2(area.contains(layout.whole()), "the loupe left the screen");
    QVERIFY2(!layout.whole().contains(at), "the loupe covers the pixel being picked");
    // Its centre shows the pixel the next pick takes.
    const int zoom = sessionOf(f).zoom();
    const QPoint centre =
        layout.box.topLeft() + QPoint(1, 1) * ((layout.cells / 2) * zoom + zoom / 2);
    QCOMPARE(picker->grab().toImage().pixel(centre) & 0xFFFFFF,
             picker->picture().pixel(at) & 0xFFFFFF);
    QTest::keyClick(picker, Qt::Key_Plus);
    QCOMPARE(sessionOf(f).zoom(), zoom + 2);
    // Keys that reach the preview act on the frozen screen; Space picks, not the Stop button.
    QTest::keyClick(sessionOf(f).preview(), corner.x() ? Qt::Key_Left : Qt::Key_Right);
    QCOMPARE(picker->pickPoint()->x(), at.x() + (corner.x() ? -1 : 1));
    QTest::keyClick(sessionOf(f).preview(), Qt::Key_Space);
    QVERIFY(picker->isVisible());
    QCOMPARE(f.window->curColor(), picker->pixelAt(*picker->pickPoint()));
    QTest::mouseRelease(picker, Qt::RightButton);
}

void tst_Picking::loupeBesideThePreview()
{
    if (minimalPlatform())
        QSKIP("the minimal platform's 240x320 screen has no side where the loupe fits beside the "
              "preview");
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    // Just above and left of the preview, where the loupe would go under it.
    const QRect preview(picker->mapFromGlobal(sessionOf(f).preview()->frameGeometry().topLeft()),
                        sessionOf(f).preview()->frameGeometry().size());
    const QPoint at = preview.topLeft() - QPoint(10, 10);
    moveTo(picker, at);
    const QRect loupe = picker->loupeLayout().whole();
    QVERIFY(!loupe.intersects(preview));
    QVERIFY(picker->rect().contains(loupe));
    QVERIFY(!loupe.contains(at));
    QTest::mouseRelease(picker, Qt::RightButton);
}

QTEST_MAIN(tst_Picking)
#include "tst_picking.moc"

// v turns the frozen screen through the four deficiencies and back; the windows, the loupe and
// the preview show the view, and a pick still takes the screen's own pixel.
void tst_Picking::vShowsWhatADeficiencySees()
{
    WindowFixture f;
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    PickingSession &session = sessionOf(f);
    moveTo(picker, QPoint(7, 9));
    const Color real = picker->pixelAt(QPoint(7, 9));
    const QStringList order{"protanopia", "deuteranopia", "tritanopia", "achromatopsia", ""};
    for (const QString &expected : order) {
        QSignalSpy shown(&session, &PickingSession::viewShown);
        QTest::keyClick(picker, Qt::Key_V);
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(session.view() ? visiondeficiency::name(*session.view()) : QString(), expected);
        const std::optional<Color> seen = expected.isEmpty()
                                              ? std::nullopt
                                              : std::optional(visiondeficiency::simulate(
                                                    real, *visiondeficiency::parse(expected)));
        const QImage &pixels = picker->shownPicture();
        const QRgb at = pixels.pixel(7, 9);
        QCOMPARE(bascommon::composeColor(qRed(at), qGreen(at), qBlue(at)), seen.value_or(real));
        QCOMPARE(session.preview()->seenColor(), seen);
        QCOMPARE(session.preview()->shownColor(), real);
    }
    QTest::keyClick(picker, Qt::Key_V); // protanopia again, then a pick
    QTest::mouseRelease(picker, Qt::LeftButton, {}, QPoint(7, 9));
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), bascommon::ColorToHex(real).mid(1).toLatin1());
    QTest::mouseRelease(picker, Qt::RightButton);
}

void tst_Picking::aPickThatCannotBeKeptEndsPicking()
{
    WindowFixture f("0C0B0A");
    // Kept in a QPointer: the keeping fails on the worker, and the frozen window may be gone by
    // the time the test looks.
    const QPointer<frmGetColor> picker = startPicking(f);
    QVERIFY(picker);
    // The palette's folder gives way under it: the file is now a folder.
    QFile::remove(f.dir.filePath("pal.hbk"));
    QVERIFY(QDir(f.dir.path()).mkdir("pal.hbk"));
    moveTo(picker, QPoint(10, 10));
    QTest::mouseRelease(picker, Qt::LeftButton);
    QTRY_VERIFY(!f.window->picking());
    QVERIFY(!picker || !picker->isVisible());
    QVERIFY(f.window->isVisible());
    QVERIFY(!f.errors.isEmpty());
    QVERIFY2(f.errors[0].contains("add a color") && f.errors[0].contains("it is a folder"),
             qPrintable(f.errors[0]));
}

void tst_Picking::smallWheelStepsAddUp_data()
{
    QTest::addColumn<QList<int>>("deltas");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("zoomBy");
    QTest::addColumn<int>("sampleBy");
    QTest::newRow("eight of 15: a notch") << QList<int>(8, 15) << false << 2 << 0;
    QTest::newRow("seven of 15: none yet") << QList<int>(7, 15) << false << 0 << 0;
    QTest::newRow("down in small steps") << QList<int>(16, -15) << false << -4 << 0;
    QTest::newRow("back and forth") << QList<int>{60, 60, -60, 60, 60} << false << 2 << 0;
    QTest::newRow("with Shift, the sample size") << QList<int>(4, 30) << true << 0 << 2;
}

void tst_Picking::smallWheelStepsAddUp()
{
    QFETCH(QList<int>, deltas);
    QFETCH(bool, shift);
    QFETCH(int, zoomBy);
    QFETCH(int, sampleBy);
    // The size the wheel sets is kept: under a name of its own, from 1.
    QVERIFY(SampleSettings("tst-wheel").write(1));
    WindowFixture f({}, "tst-wheel");
    frmGetColor *picker = startPicking(f);
    QVERIFY(picker);
    const int zoom = sessionOf(f).zoom();
    const int sample = sessionOf(f).sampleSize();
    for (const int delta : deltas) {
        QWheelEvent wheel(QPointF(5, 5), picker->mapToGlobal(QPointF(5, 5)), {}, {0, delta},
                          Qt::NoButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(picker, &wheel);
    }
    QCOMPARE(sessionOf(f).zoom(), zoom + zoomBy);
    QCOMPARE(sessionOf(f).sampleSize(), sample + sampleBy);
    QTest::mouseRelease(picker, Qt::RightButton);
}
