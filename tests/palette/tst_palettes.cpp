// Palettes you can work with, in the main window: Undo and Redo in the Edit menu and on the
// keyboard, the grid's pages turned by the wheel with their caption, and the named palettes of
// the Palettes submenu.
#include "../support/heldlock.h"
#include "../support/windowfixture.h"
#include "picker/frmGetColor.h"
#include "picker/pickingsession.h"
#include "ui/colorlabel.h"

#include <QProgressBar>
#include <QStorageInfo>
#include <QTest>
#include <QWheelEvent>

namespace {

void turnWheel(const WindowFixture &f, int delta, int times = 1)
{
    auto *swatch = f.find<ColorLabel>("lblcor(55)");
    for (int i = 0; i < times; ++i) {
        QWheelEvent wheel(QPointF(5, 5), swatch->mapToGlobal(QPointF(5, 5)), {}, {0, delta},
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(swatch, &wheel);
    }
}

QString caption(const WindowFixture &f)
{
    return f.chart()->caption();
}

} // namespace

class tst_Palettes : public QObject
{
    Q_OBJECT
private slots:
    void undoAndRedoEveryStep_data();
    void undoAndRedoEveryStep();
    void keepsTheLast100Steps();
    void theWheelTurnsPages_data();
    void theWheelTurnsPages();
    void deleteOnTheSecondPage();
    void namedPalettes();
    void badNamesMakeNothing_data();
    void badNamesMakeNothing();
    void dialogsActOnThePaletteTheyWereOpenedFor_data();
    void dialogsActOnThePaletteTheyWereOpenedFor();
    void longWorkShowsAndHoldsTheMenus();
};

void tst_Palettes::undoAndRedoEveryStep_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("Delete") << "mnuDelCor" << QByteArray("000001000003000001");
    QTest::newRow("Clean Duplicate") << "mnuCleanDup" << QByteArray("000001000002000003");
    QTest::newRow("Pick") << "pick" << QByteArray("000001000002000003000001070900");
    QTest::newRow("Import") << "import" << QByteArray("000001000002000003000001010203");
}

void tst_Palettes::undoAndRedoEveryStep()
{
    QFETCH(QString, step);
    QFETCH(QByteArray, after);
    const QByteArray before = "000001000002000003000001";
    WindowFixture f(before);
    QAction *undo = f.action("mnuUndo");
    QAction *redo = f.action("mnuRedo");
    QVERIFY(!undo->isEnabled());
    if (step == "pick") {
        // A click on the frozen screen, as a person picks: the pattern's pixel (7, 9).
        f.window->show();
        f.window->mnustartpick_Click();
        QVERIFY(f.window->picking());
        QTRY_VERIFY(!f.window->picking()->windows().isEmpty());
        QWidget *frozen = f.window->picking()->windows().first();
        QMouseEvent move(QEvent::MouseMove, QPointF(7, 9), frozen->mapToGlobal(QPointF(7, 9)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(frozen, &move);
        QTest::mouseRelease(frozen, Qt::LeftButton, {}, QPoint(7, 9));
        QTest::mouseRelease(frozen, Qt::RightButton, {}, QPoint(7, 9));
        QVERIFY(!f.window->picking());
    } else if (step == "import") {
        const QString source = f.dir.filePath("in.gpl");
        writeFile(source, "GIMP Palette\n1 2 3\n");
        f.window->importPalette(source, {}, {});
    } else {
        f.window->lblcor_MouseUp(2, 1, 0, 0, 0); // the second newest: 000003
        f.action(qPrintable(step))->trigger();
    }
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), after);
    const QString name = QString(QTest::currentDataTag());
    QCOMPARE(std::pair(undo->text(), undo->isEnabled()), std::pair("Undo " + name, true));
    QCOMPARE(std::pair(redo->text(), redo->isEnabled()), std::pair(QStringLiteral("Redo"), false));

    // Ctrl+Z on the main window, then Ctrl+Shift+Z and Ctrl+Y.
    f.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), before);
    QCOMPARE(f.window->chartCount(), 4);
    QCOMPARE(redo->text(), "Redo " + name);
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), after);
    QTest::keyClick(f.window.get(), Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(f.idle());
    QTest::keyClick(f.window.get(), Qt::Key_Y, Qt::ControlModifier);
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), after);
    QVERIFY(f.errors.isEmpty());
}

void tst_Palettes::keepsTheLast100Steps()
{
    WindowFixture f;
    for (int i = 1; i <= 105; ++i)
        f.document()->pick(i);
    QVERIFY(f.idle());
    int undone = 0;
    while (f.action("mnuUndo")->isEnabled()) {
        f.action("mnuUndo")->trigger();
        QVERIFY(f.idle());
        ++undone;
    }
    QCOMPARE(undone, 100);
    QCOMPARE(f.palette(), QByteArray("010000020000030000040000050000"));
}

void tst_Palettes::theWheelTurnsPages_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<QList<int>>("deltas"); // each turned once
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("swatch0"); // the record swatch 0 shows
    QTest::newRow("one notch down")
        << 523 << QList<int>{-120} << "Color Palette 101–200 of 523" << 423;
    QTest::newRow("small steps add up")
        << 523 << QList<int>(8, -15) << "Color Palette 101–200 of 523" << 423;
    QTest::newRow("seven small steps are not a notch")
        << 523 << QList<int>(7, -15) << "Color Palette" << 523;
    QTest::newRow("down and back up")
        << 523 << QList<int>{-120, -120, 120} << "Color Palette 101–200 of 523" << 423;
    QTest::newRow("the last page, part empty")
        << 523 << QList<int>(9, -120) << "Color Palette 501–523 of 523" << 23;
    QTest::newRow("no page before the first") << 150 << QList<int>{120} << "Color Palette" << 150;
    QTest::newRow("100 records have one page") << 100 << QList<int>{-120} << "Color Palette" << 100;
    QTest::newRow("101 have two") << 101 << QList<int>{-120} << "Color Palette 101–101 of 101" << 1;
    QTest::newRow("none") << 0 << QList<int>{-120} << "Color Palette" << 0;
}

void tst_Palettes::theWheelTurnsPages()
{
    QFETCH(int, records);
    QFETCH(QList<int>, deltas);
    QFETCH(QString, shown);
    QFETCH(int, swatch0);
    WindowFixture f(numberedPalette(records));
    for (int delta : deltas)
        turnWheel(f, delta);
    QCOMPARE(caption(f), shown);
    f.window->lblcor_MouseUp(0, 1, 0, 0, 0);
    QCOMPARE(f.window->chartSelRecord(), swatch0);
    QCOMPARE(f.action("mnuDelCor")->isEnabled(), swatch0 > 0);
    // A pick, an import or a reload comes back to the newest hundred.
    f.chart()->reloadAndSelectNewest();
    QCOMPARE(caption(f), QStringLiteral("Color Palette"));
}

void tst_Palettes::deleteOnTheSecondPage()
{
    WindowFixture f(numberedPalette(150));
    turnWheel(f, -120);
    f.window->lblcor_MouseUp(3, 1, 0, 0, 0); // record 47
    QCOMPARE(f.window->curColor(), 0x2F0000);
    f.action("mnuDelCor")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), numberedPalette(46) + numberedPalette(150).mid(47 * 6));
    QCOMPARE(caption(f), QStringLiteral("Color Palette 101–149 of 149")); // still the page
    f.action("mnuUndo")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), numberedPalette(150));
}

void tst_Palettes::namedPalettes()
{
    WindowFixture f("0C0B0A");
    PaletteDocument *document = f.document();
    QStringList names{"brand", "brand2"};
    f.paletteMenu()->askName = [&](const QString &, const QString &) -> std::optional<QString> {
        return names.takeFirst();
    };
    f.paletteMenu()->confirm = [](const QString &) { return true; };
    f.action("mnuNewPalette")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(document->name(), QStringLiteral("brand"));
    QCOMPARE(caption(f), QStringLiteral("Color Palette: brand"));
    QVERIFY(QFile::exists(f.dir.filePath("brand.hbk")));
    document->pick(0x563412);
    QVERIFY(f.idle());
    QCOMPARE(readFile(f.dir.filePath("brand.hbk")), QByteArray("123456"));
    QCOMPARE(f.palette(), QByteArray("0C0B0A")); // pal.hbk untouched

    // Each palette keeps its own steps; a rename keeps them too.
    f.action("mnuRenamePalette")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(caption(f), QStringLiteral("Color Palette: brand2"));
    QVERIFY(!QFile::exists(f.dir.filePath("brand.hbk")));
    document->use("pal");
    QVERIFY(!f.action("mnuUndo")->isEnabled());
    QVERIFY(!f.action("mnuRenamePalette")->isEnabled() &&
            !f.action("mnuRemovePalette")->isEnabled());
    document->use("brand2");
    QCOMPARE(f.action("mnuUndo")->text(), QStringLiteral("Undo Pick"));
    f.action("mnuUndo")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(readFile(f.dir.filePath("brand2.hbk")), QByteArray());

    // Kept in the settings for the next start.
    {
        WindowFixture again(QByteArray(), QStringLiteral("tst-fixture"));
        Q_UNUSED(again);
    }
    QCOMPARE(PaletteSettings("tst-fixture").read(), QStringLiteral("brand2"));

    // Removed to the trash, never deleted: the default palette comes back. The user's trash
    // takes files of the home folder's file system; elsewhere nothing is lost, and it is said.
    QStandardPaths::setTestModeEnabled(true);
    const bool trashable =
        QStorageInfo(f.dir.path()).device() == QStorageInfo(QDir::homePath()).device();
    f.action("mnuRemovePalette")->trigger();
    QVERIFY(f.idle());
    if (trashable) {
        QCOMPARE(f.errors, QStringList());
        QCOMPARE(document->name(), QStringLiteral("pal"));
        QVERIFY(!QFile::exists(f.dir.filePath("brand2.hbk")));
    } else {
        QCOMPARE(f.errors.size(), 1);
        QVERIFY2(f.errors.last().contains("trash") && QFile::exists(f.dir.filePath("brand2.hbk")),
                 qPrintable(f.errors.last()));
    }
}

void tst_Palettes::badNamesMakeNothing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("said");
    QTest::newRow("empty") << ""
                           << "1 to 64 characters";
    QTest::newRow("65 characters") << QString(65, 'x') << "1 to 64 characters";
    QTest::newRow("slash") << "a/b"
                           << "no \"/\"";
    QTest::newRow("dot") << ".hidden"
                         << "does not start with \".\"";
    QTest::newRow("control") << "a\nb"
                             << "control characters";
    QTest::newRow("used") << "pal"
                          << "already exists";
}

void tst_Palettes::badNamesMakeNothing()
{
    QFETCH(QString, name);
    QFETCH(QString, said);
    WindowFixture f("0C0B0A");
    f.paletteMenu()->askName = [&](const QString &, const QString &) {
        return std::optional<QString>(name);
    };
    const QStringList before = QDir(f.dir.path()).entryList(QDir::Files);
    f.action("mnuNewPalette")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains(said), qPrintable(f.errors[0]));
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files), before);
    QCOMPARE(f.document()->name(), QStringLiteral("pal"));
}

void tst_Palettes::dialogsActOnThePaletteTheyWereOpenedFor_data()
{
    QTest::addColumn<QString>("item");
    QTest::newRow("Rename") << "mnuRenamePalette";
    QTest::newRow("Remove") << "mnuRemovePalette";
}

// Another palette comes into view while the dialog is open, as a handed-over --palette would
// bring it: the dialog still renames or removes the one it asked about.
void tst_Palettes::dialogsActOnThePaletteTheyWereOpenedFor()
{
    QFETCH(QString, item);
    QStandardPaths::setTestModeEnabled(true);
    WindowFixture f("0C0B0A");
    PaletteDocument *document = f.document();
    writeFile(f.dir.filePath("a.hbk"), "AAAAAA");
    writeFile(f.dir.filePath("b.hbk"), "BBBBBB");
    document->use("a");
    QVERIFY(f.idle());
    QCOMPARE(document->name(), QStringLiteral("a"));
    f.paletteMenu()->askName = [&](const QString &, const QString &name) {
        document->use("b");
        return std::optional<QString>(name + "2");
    };
    f.paletteMenu()->confirm = [&](const QString &question) {
        document->use("b");
        return question.contains("\"a\"");
    };
    f.action(qPrintable(item))->trigger();
    QVERIFY(f.idle());
    QCOMPARE(document->name(), QStringLiteral("b"));
    QCOMPARE(readFile(f.dir.filePath("b.hbk")), QByteArray("BBBBBB"));
    if (item == "mnuRenamePalette")
        QCOMPARE(readFile(f.dir.filePath("a2.hbk")), QByteArray("AAAAAA"));
    else if (QStorageInfo(f.dir.path()).device() == QStorageInfo(QDir::homePath()).device())
        QVERIFY(!QFile::exists(f.dir.filePath("a.hbk")));
    else // no trash for this file system: a is kept, and said so
        QVERIFY2(f.errors.last().contains("trash"), qPrintable(f.errors.join('\n')));
}

// Clean Duplicate waits for the palette's lock on the worker, as it would behind another
// writer: the window goes on, the items that would change the palette are disabled, a bar
// shows after half a second, and a palette handed over meanwhile comes into view after it.
void tst_Palettes::longWorkShowsAndHoldsTheMenus()
{
    WindowFixture f("AAAAAABBBBBBAAAAAA");
    writeFile(f.dir.filePath("b.hbk"), "BBBBBB");
    f.window->show();
    auto *bar = f.find<QProgressBar>("paletteWorking");
    QVERIFY(bar);
    const QStringList changing{"mnuDelCor", "mnuCleanDup", "mnuUndo", "mnuImport",
                               "mnuPalettesItem"};
    {
        HeldLock lock(f.dir.filePath("pal.hbk"));
        QVERIFY(lock.held());
        f.window->lblcor_MouseUp(0, 1, 0, 0, 0);
        QVERIFY(f.action("mnuDelCor")->isEnabled());
        f.action("mnuCleanDup")->trigger();
        f.window->usePalette("b");
        for (const QString &name : changing)
            QVERIFY2(!f.action(qPrintable(name))->isEnabled(), qPrintable(name));
        QVERIFY(f.action("mnuExport")->isEnabled()); // it waits its turn, and changes nothing
        QVERIFY(bar->isHidden());
        QTRY_VERIFY(bar->isVisible());
        QCOMPARE(f.document()->name(), QStringLiteral("pal"));
    }
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("AAAAAABBBBBB"));
    QCOMPARE(f.document()->name(), QStringLiteral("b"));
    QCOMPARE(caption(f), QStringLiteral("Color Palette: b"));
    QVERIFY(bar->isHidden());
    QVERIFY(f.action("mnuCleanDup")->isEnabled());
    QVERIFY(f.errors.isEmpty());
}

QTEST_MAIN(tst_Palettes)
#include "tst_palettes.moc"
