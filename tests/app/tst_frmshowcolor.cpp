// The main window as designed, and its position: centred, restored from the settings, stored
// on close.
#include "../support/windowfixture.h"
#include "app/heldrequests.h"
#include "app/positionsettings.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString appName = QStringLiteral("tst-frmshowcolor");

void storePosition(const QVariant &x, const QVariant &y)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                       appName);
    settings.clear();
    if (x.isValid())
        settings.setValue(QStringLiteral("Position/X"), x);
    if (y.isValid())
        settings.setValue(QStringLiteral("Position/Y"), y);
}

} // namespace

class tst_frmshowcolor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void design_data();
    void design();
    void windowProperties();
    void menuTree();
    void position_data();
    void position();
    void closeStoresPosition();
    void settingsOfAnyBytes_data();
    void settingsOfAnyBytes();
    void firstStartCreatesEmptyPalette();
    void messagesWaitAndRequestsAreHeldUnderThem();
};

void tst_frmshowcolor::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
}

void tst_frmshowcolor::design_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("family"); // as designed; empty for the window's own font
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("bold");
    auto row = [](const char *name, QRect g, const char *text, const char *family, double points,
                  bool bold) {
        QTest::newRow(name) << QString::fromLatin1(name) << g << QString::fromLatin1(text)
                            << QString::fromLatin1(family) << points << bold;
    };
    row("imgpick", {6, 4, 16, 16}, "", "Tahoma", 8.25, false);
    row("imgabout", {30, 4, 16, 16}, "", "Tahoma", 8.25, false);
    row("imgtarnwick", {55, 4, 16, 16}, "", "Tahoma", 8.25, false);
    row("lblcolor", {5, 27, 68, 40}, "", "Arial", 10.5, false);
    row("Label6", {76, 28, 34, 15}, "RGB:", "Courier New", 9, true);
    row("txtrgb1", {110, 27, 69, 19}, "255,255,255", "Tahoma", 8.25, false);
    row("Label2", {76, 49, 34, 15}, "HEX:", "Courier New", 9, true);
    row("txtrgb", {110, 48, 69, 19}, "#FFFFFF", "Tahoma", 8.25, false);
    row("Label4", {6, 77, 16, 17}, "R", "Courier New", 9, true);
    row("RScroll", {25, 80, 120, 10}, "", "Tahoma", 8.25, false);
    row("rtxt", {149, 76, 30, 19}, "255", "Tahoma", 8.25, false);
    row("Label5", {6, 99, 16, 17}, "G", "Courier New", 9, true);
    row("GScroll", {25, 102, 120, 10}, "", "Tahoma", 8.25, false);
    row("gtxt", {149, 98, 30, 19}, "255", "Tahoma", 8.25, false);
    row("Label7", {6, 121, 16, 17}, "B", "Courier New", 9, true);
    row("BScroll", {25, 124, 120, 10}, "", "Tahoma", 8.25, false);
    row("btxt", {149, 120, 30, 19}, "255", "Tahoma", 8.25, false);
    row("Label1", {5, 146, 174, 20}, "", "Tahoma", 8.25, true);
    row("Label3", {7, 149, 141, 18}, "Color Palette", "Tahoma", 8.25, true);
    row("lblcor(0)", {6, 170, 18, 18}, "", "Arial", 9, false);
}

void tst_frmshowcolor::design()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, family);
    QFETCH(double, points);
    QFETCH(bool, bold);
    storePosition({}, {});
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    auto *control = window->findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->font().family(), family);
    QCOMPARE(control->font().pointSizeF(), points);
    QCOMPARE(control->font().bold(), bold);
    if (auto *label = qobject_cast<QLabel *>(control); label && label->pixmap().isNull())
        QCOMPARE(label->text(), text);
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        QCOMPARE(edit->text(), text);
        QVERIFY(edit->isReadOnly());
    }
}

void tst_frmshowcolor::windowProperties()
{
    storePosition({}, {});
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    QCOMPARE(window->windowTitle(), QStringLiteral("Huebrook 1.0"));
    QCOMPARE(window->size(), QSize(186, 348));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QCOMPARE(window->font().family(), QStringLiteral("Tahoma"));
    QVERIFY(!window->windowIcon().isNull());
    for (const char *name : {"imgpick", "imgabout", "imgtarnwick"}) {
        auto *image = window->findChild<QLabel *>(QLatin1String(name));
        QVERIFY(!image->pixmap().isNull());
        QVERIFY(!image->toolTip().isEmpty());
    }
    QCOMPARE(window->findChild<QLabel *>("imgpick")->toolTip(),
             QStringLiteral("Pick Color from Screen"));
    QCOMPARE(window->findChild<QLabel *>("imgabout")->toolTip(), QStringLiteral("About"));
    QVERIFY(window->findChild<QLabel *>("imgtarnwick")->toolTip().startsWith("Visit "));
    auto *red = window->findChild<QScrollBar *>("RScroll");
    QCOMPARE(red->minimum(), 0);
    QCOMPARE(red->maximum(), 255);
    QCOMPARE(red->singleStep(), 1);
    QCOMPARE(red->pageStep(), 10);
    QCOMPARE(window->findChild<QLineEdit *>("txtrgb")->maxLength(), 7);
    QCOMPARE(window->findChild<QLineEdit *>("txtrgb1")->maxLength(), 11);
}

void tst_frmshowcolor::menuTree()
{
    storePosition({}, {});
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    const QList<QPair<QString, QString>> items{{"mnuDelCor", "&Delete"},
                                               {"mnuCleanDup", "Clean Duplicate"},
                                               {"mnuExport", "Export Palette..."},
                                               {"mnuImport", "Import Palette..."},
                                               {"mnustartpick", "Screen Color &Picker"},
                                               {"mnuabout", "&About Huebrook"}};
    for (const auto &[name, caption] : items) {
        auto *action = window->findChild<QAction *>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
    }
    QVERIFY(window->findChild<QAction *>("mnuWeb")->text().startsWith("&Visit "));
    for (const char *name : {"mnuEdit", "mnuTool", "mnuhelp"})
        QVERIFY(!window->findChild<QMenu *>(QLatin1String(name))->menuAction()->isVisible());
    const QList<QAction *> edit = window->findChild<QMenu *>("mnuEdit")->actions();
    QCOMPARE(edit.size(), 12);
    QCOMPARE(edit[0]->text(), QStringLiteral("Copy Color Value"));
    QVERIFY(edit[1]->isSeparator());
    QCOMPARE(edit[2]->objectName(), QStringLiteral("mnuDelCor"));
    QCOMPARE(edit[3]->objectName(), QStringLiteral("mnuCleanDup"));
    // Nothing to undo or redo yet.
    QCOMPARE(edit[4]->objectName(), QStringLiteral("mnuUndo"));
    QCOMPARE(std::pair(edit[4]->text(), edit[4]->isEnabled()),
             std::pair(QStringLiteral("Undo"), false));
    QCOMPARE(edit[5]->objectName(), QStringLiteral("mnuRedo"));
    QCOMPARE(std::pair(edit[5]->text(), edit[5]->isEnabled()),
             std::pair(QStringLiteral("Redo"), false));
    QCOMPARE(edit[6]->text(), QStringLiteral("Palettes"));
    QVERIFY(edit[7]->isSeparator());
    QCOMPARE(edit[8]->objectName(), QStringLiteral("mnuExport"));
    QCOMPARE(edit[9]->objectName(), QStringLiteral("mnuImport"));
    QCOMPARE(edit[10]->objectName(), QStringLiteral("mnuDetails")); // the preview's menu alone
    QVERIFY(!edit[10]->isVisible());
    QCOMPARE(std::pair(edit[11]->objectName(), edit[11]->text()),
             std::pair(QStringLiteral("mnuPreferences"), QStringLiteral("Preferences...")));
    QVERIFY(!edit[11]->isVisible());
    QStringList palettes;
    for (QAction *action : window->findChild<QMenu *>("mnuPalettes")->actions())
        palettes << action->text();
    QCOMPARE(palettes,
             (QStringList{"pal", "", "New Palette...", "Rename Palette...", "Remove Palette..."}));
    QStringList copyNames;
    for (QAction *action : window->findChild<QMenu *>("mnuCopydec")->actions())
        copyNames << action->objectName();
    QCOMPARE(copyNames, (QStringList{"mnuCopyhex1",    "mnuCopyhex2",       "mnuCopyhex3",
                                     "mnuCopyhex4",    "mnuCopydec2",       "mnuCopydec1",
                                     "mnuCopyhex5",    "copysep1",          "mnuCopycss-rgb",
                                     "mnuCopycss-hsl", "mnuCopyhex-lower",  "mnuCopyoklch",
                                     "mnuCopyoklab",   "mnuCopylab",        "mnuCopylch",
                                     "mnuCopyhwb",     "mnuCopydisplay-p3", "mnuCopyname",
                                     "copysep2",       "mnuCopyEachPick",   "mnuEditFormats"}));
}

void tst_frmshowcolor::position_data()
{
    QTest::addColumn<QVariant>("x");
    QTest::addColumn<QVariant>("y");
    QTest::addColumn<bool>("centred");
    QTest::addColumn<QPoint>("stored"); // in twips when not centred
    const QVariant none;
    QTest::newRow("first start") << none << none << true << QPoint();
    QTest::newRow("only X") << QVariant("1500") << none << true << QPoint();
    QTest::newRow("only Y") << none << QVariant("1500") << true << QPoint();
    QTest::newRow("X not a number") << QVariant("abc") << QVariant("1500") << true << QPoint();
    QTest::newRow("restored") << QVariant("1500") << QVariant("3000") << false
                              << QPoint(1500, 3000);
    QTest::newRow("half to even") << QVariant("1500.5") << QVariant("3001.5") << false
                                  << QPoint(1500, 3002);
    QTest::newRow("far off the screen")
        << QVariant("-60000") << QVariant("150000") << false << QPoint(-60000, 150000);
    QTest::newRow("X overflows: left edge")
        << QVariant("1E+15") << QVariant("1500") << false << QPoint(0, 1500);
}

void tst_frmshowcolor::position()
{
    QFETCH(QVariant, x);
    QFETCH(QVariant, y);
    QFETCH(bool, centred);
    QFETCH(QPoint, stored);
    storePosition(x, y);
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    QScreen *screen = QGuiApplication::primaryScreen();
    const double perPixel = 1440.0 / screen->logicalDotsPerInchX();
    QPoint expected;
    if (centred) {
        const QSize free = screen->geometry().size() - window->frameGeometry().size();
        expected = QPoint(qRound(free.width() / 2.0), qRound(free.height() / 2.0));
    } else {
        expected = QPoint(qRound(stored.x() / perPixel), qRound(stored.y() / perPixel));
    }
    QCOMPARE(window->pos(), expected);
}

void tst_frmshowcolor::closeStoresPosition()
{
    storePosition({}, {});
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    window->move(40, 70);
    window->close();
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("huebrook"),
                       appName);
    const double perPixel = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    QCOMPARE(settings.value("Position/X").toString(), QString::number(40 * perPixel));
    QCOMPARE(settings.value("Position/Y").toString(), QString::number(70 * perPixel));
    WindowFixture later({}, appName);
    frmshowcolor *next = later.window.get();
    QCOMPARE(next->pos(), QPoint(40, 70));
}

void tst_frmshowcolor::settingsOfAnyBytes_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<bool>("centred");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe[Position\x00]\nX=\x01\x02", 7) << true;
    QTest::newRow("comma list") << QByteArray("[Position]\nX=1,5,7\nY=2,5,7\n") << true;
    QTest::newRow("variant junk")
        << QByteArray("[Position]\nX=@Variant(\\0\\0\\0\\x7f\\xff\\xff)\nY=@ByteArray(12)\n")
        << true;
    QTest::newRow("invalid utf-8") << QByteArray("[Position]\nX=\xc3\x28\nY=\xa0\xa1\n") << true;
    QTest::newRow("long line") << QByteArray("[Position]\nX=") + QByteArray(100000, '9') << true;
    QTest::newRow("far off") << QByteArray("[Position]\nX=-2000000000\nY=2000000000\n") << false;
}

void tst_frmshowcolor::settingsOfAnyBytes()
{
    QFETCH(QByteArray, contents);
    QFETCH(bool, centred);
    storePosition({}, {});
    const QString path = PositionSettings(appName).fileName();
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
    file.close();
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    QScreen *screen = QGuiApplication::primaryScreen();
    const QSize free = screen->geometry().size() - window->frameGeometry().size();
    const QPoint centre(qRound(free.width() / 2.0), qRound(free.height() / 2.0));
    QCOMPARE(window->pos() == centre, centred);
}

void tst_frmshowcolor::firstStartCreatesEmptyPalette()
{
    WindowFixture f({}, appName);
    frmshowcolor *window = f.window.get();
    QCOMPARE(f.palette(), QByteArray()); // created, and empty
    QCOMPARE(window->curColor(), 0xFFFFFF);
    QVERIFY(!window->findChild<QAction *>("mnuDelCor")->isEnabled());
    QVERIFY(!window->findChild<QWidget *>("shpSelect")->isHidden());
}

// A failure is said from the event loop, never in a nested one: the change that failed is over
// when the box opens, a second message waits for the first box, and a later start's request
// waits for both.
void tst_frmshowcolor::messagesWaitAndRequestsAreHeldUnderThem()
{
    QTemporaryDir dir;
    frmshowcolor window(PaletteStore(dir.path()), PositionSettings(appName));
    window.createCapture = [] { return new FakeCapture; };
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.reportError(QStringLiteral("first"));
    window.reportError(QStringLiteral("second"));
    QVERIFY(!QApplication::activeModalWidget()); // not while the change runs
    HeldRequests held;
    QStringList ran;
    QTRY_VERIFY(qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
    held.run([&] { ran << "one"; });
    held.run([&] { ran << "two"; });
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    QCOMPARE(box->text(), QStringLiteral("first"));
    box->accept();
    QTRY_VERIFY(QApplication::activeModalWidget() && QApplication::activeModalWidget() != box);
    box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    QCOMPARE(box->text(), QStringLiteral("second"));
    QTest::qWait(250);
    QVERIFY(ran.isEmpty());
    box->accept();
    QTRY_COMPARE(ran, (QStringList{"one", "two"}));
    held.run([&] { ran << "three"; }); // nothing open: at once
    QCOMPARE(ran.size(), 3);
}

QTEST_MAIN(tst_frmshowcolor)
#include "tst_frmshowcolor.moc"
