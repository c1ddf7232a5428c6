// Export and import through the main window: what lands in the files, the format the dialog's
// filter or the name chooses, the sentences for files that cannot be written or read, and a
// palette dropped on the window.
#include "../support/files.h"
#include "../support/windowfixture.h"
#include "palette/colorchart.h"
#include "palette/paletteexchange.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

class tst_Exchange : public QObject
{
    Q_OBJECT
private slots:
    void exportWritesTheWholePalette();
    void exportFollowsTheNameOrTheFilter_data();
    void exportFollowsTheNameOrTheFilter();
    void exportToAFolderThatIsNotThere();
    void importAppendsAndSelectsTheNewest();
    void malformedImportAppendsNothing();
    void importRecognisesTheContentAndSaysWhatItLeftOut();
    void droppedPaletteIsImported();
};

void tst_Exchange::exportWritesTheWholePalette()
{
    WindowFixture f("0C0B0AFF8000");
    const QString target = f.dir.filePath("mine.gpl");
    writeFile(target, "an older export, replaced whole");
    QString suggested;
    f.paletteMenu()->chooseFile = [&](bool saving, const QString &suggestion, QString *) {
        suggested = saving ? suggestion : QString();
        return target;
    };
    f.action("mnuExport")->trigger();
    QVERIFY(f.idle());
    QVERIFY(suggested.endsWith("/Huebrook.gpl"));
    QCOMPARE(readFile(target), QByteArray("GIMP Palette\nName: mine\nColumns: 10\n#\n"
                                          " 12  11  10\t#0C0B0A\n255 128   0\t#FF8000\n"));
    QVERIFY(f.errors.isEmpty());
}

void tst_Exchange::exportFollowsTheNameOrTheFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("bare name: the filter's format and extension")
        << "mine"
        << "Krita palette (*.kpl)"
        << "mine.kpl" << QByteArray("PK\x03\x04");
    QTest::newRow("a name of ours wins over the filter") << "mine.ase"
                                                         << "CSS custom properties (*.css)"
                                                         << "mine.ase" << QByteArray("ASEF");
    QTest::newRow("another extension: the filter's format, the name kept")
        << "mine.txt"
        << "CSS custom properties (*.css)"
        << "mine.txt" << QByteArray(":root {");
}

void tst_Exchange::exportFollowsTheNameOrTheFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, filter);
    QFETCH(QString, written);
    QFETCH(QByteArray, start);
    WindowFixture f("0C0B0AFF8000");
    QStringList offered;
    f.paletteMenu()->chooseFile = [&](bool, const QString &, QString *chosen) {
        offered << *chosen;
        *chosen = filter;
        return f.dir.filePath(typed);
    };
    f.action("mnuExport")->trigger();
    QVERIFY(f.idle());
    QVERIFY(f.errors.isEmpty());
    QCOMPARE(offered, QStringList{"GIMP palette (*.gpl)"});
    QVERIFY2(readFile(f.dir.filePath(written)).startsWith(start),
             qPrintable(readFile(f.dir.filePath(written)).left(20)));
}

void tst_Exchange::exportToAFolderThatIsNotThere()
{
    WindowFixture f("0C0B0A");
    const QString target = f.dir.filePath("gone/mine.gpl");
    f.paletteMenu()->chooseFile = [&](bool, const QString &, QString *) { return target; };
    f.action("mnuExport")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains(target), qPrintable(f.errors[0]));
    QVERIFY(!QFile::exists(target));
}

void tst_Exchange::importAppendsAndSelectsTheNewest()
{
    WindowFixture f("0C0B0A");
    const QString source = f.dir.filePath("in.gpl");
    writeFile(source, "GIMP Palette\r\nName: in\r\n  1   2   3\tfirst\r\n255 0 16 last one");
    f.paletteMenu()->chooseFile = [&](bool saving, const QString &, QString *) {
        return saving ? QString() : source;
    };
    f.action("mnuImport")->trigger();
    QVERIFY(f.idle());
    QVERIFY(f.errors.isEmpty());
    QCOMPARE(f.palette(), QByteArray("0C0B0A010203FF0010"));
    QCOMPARE(f.window->chartCount(), 3);
    QCOMPARE(f.window->curColor(), 0x1000FF); // the newest, selected
    QVERIFY(!f.find<QWidget>("shpSelect")->isHidden());
}

void tst_Exchange::malformedImportAppendsNothing()
{
    WindowFixture f("0C0B0A");
    const QString source = f.dir.filePath("bad.gpl");
    writeFile(source, "GIMP Palette\n1 2 3\n4 5 600\n");
    f.paletteMenu()->chooseFile = [&](bool, const QString &, QString *) { return source; };
    f.action("mnuImport")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("0C0B0A"));
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains(source) && f.errors[0].contains("line 3"),
             qPrintable(f.errors[0]));
}

void tst_Exchange::importRecognisesTheContentAndSaysWhatItLeftOut()
{
    WindowFixture f("0C0B0A");
    // Photoshop swatches under a name that says nothing: one RGB color and one in greyscale.
    const QString source = f.dir.filePath("swatches.bin");
    writeFile(source, QByteArray::fromHex("00010002"
                                          "0000ffff80800000"
                                          "0000"
                                          "0008138800000000"
                                          "0000"));
    f.paletteMenu()->chooseFile = [&](bool, const QString &, QString *) { return source; };
    f.action("mnuImport")->trigger();
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("0C0B0AFF8000"));
    QCOMPARE(f.window->curColor(), 0x0080FF);
    QCOMPARE(f.errors.size(), 1);
    QVERIFY2(f.errors[0].contains(source) && f.errors[0].contains("1 in color spaces"),
             qPrintable(f.errors[0]));
}

void tst_Exchange::droppedPaletteIsImported()
{
    WindowFixture f;
    const QString source = f.dir.filePath("dropped.gpl");
    writeFile(source, "GIMP Palette\n16 32 48\n");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(source)});
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(f.window.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &mime, Qt::LeftButton, {});
    QApplication::sendEvent(f.window.get(), &drop);
    QVERIFY(f.idle());
    QCOMPARE(f.palette(), QByteArray("102030"));
    QCOMPARE(f.window->curColor(), 0x302010);

    QMimeData other;
    other.setUrls({QUrl::fromLocalFile(f.dir.filePath("picture.png"))});
    QDragEnterEvent refused(QPoint(20, 20), Qt::CopyAction, &other, Qt::LeftButton, {});
    refused.setAccepted(false);
    QApplication::sendEvent(f.window.get(), &refused);
    QVERIFY(!refused.isAccepted());
}

QTEST_MAIN(tst_Exchange)
#include "tst_exchange.moc"
