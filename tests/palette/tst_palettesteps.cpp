// The undoable steps on a palette file: each kind made, undone and made again byte for byte,
// with another program appending in between, and refused with nothing changed when the file no
// longer holds what the step left.
#include "../support/files.h"
#include "palette/palettesteps.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// "ABAC" is the palette AAAAAA BBBBBB AAAAAA CCCCCC.
QByteArray records(const QString &letters)
{
    QByteArray out;
    for (const QChar c : letters)
        out += QByteArray(6, c.toLatin1());
    return out;
}

std::vector<ChartRecord> chart(const QString &letters)
{
    std::vector<ChartRecord> out;
    for (const QChar c : letters)
        out.push_back(ChartRecord::fromHexText(QStringLiteral("#") + QString(6, c)));
    return out;
}

} // namespace

class tst_PaletteSteps : public QObject
{
    Q_OBJECT
private slots:
    void undoAndRedo_data();
    void undoAndRedo();
};

void tst_PaletteSteps::undoAndRedo_data()
{
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("step");    // pick X, import XYZ, delete N, clean
    QTest::addColumn<QString>("between"); // +X appended by another program, =X the file replaced
    QTest::addColumn<QString>("afterStep");
    QTest::addColumn<QString>("afterUndo"); // "refused": nothing changed
    QTest::addColumn<QString>("afterRedo");

    QTest::newRow("pick") << "AB"
                          << "pick C"
                          << ""
                          << "ABC"
                          << "AB"
                          << "ABC";
    QTest::newRow("pick, then another program's") << "AB"
                                                  << "pick C"
                                                  << "+D"
                                                  << "ABC"
                                                  << "ABD"
                                                  << "ABDC";
    QTest::newRow("import") << "A"
                            << "import BCB"
                            << ""
                            << "ABCB"
                            << "A"
                            << "ABCB";
    QTest::newRow("import whose colors another program removed") << "A"
                                                                 << "import BC"
                                                                 << "=AB"
                                                                 << "ABC"
                                                                 << "refused"
                                                                 << "";
    QTest::newRow("delete") << "ABC"
                            << "delete 2"
                            << ""
                            << "AC"
                            << "ABC"
                            << "AC";
    QTest::newRow("delete the newest") << "ABC"
                                       << "delete 3"
                                       << ""
                                       << "AB"
                                       << "ABC"
                                       << "AB";
    QTest::newRow("delete, then another program's") << "ABC"
                                                    << "delete 2"
                                                    << "+D"
                                                    << "AC"
                                                    << "ABCD"
                                                    << "ACD";
    QTest::newRow("delete, after another program rewrote what came before") << "ABC"
                                                                            << "delete 2"
                                                                            << "=DC"
                                                                            << "AC"
                                                                            << "refused"
                                                                            << "";
    QTest::newRow("delete, after another program rewrote what came after") << "ABC"
                                                                           << "delete 2"
                                                                           << "=AD"
                                                                           << "AC"
                                                                           << "ABD"
                                                                           << "AD";
    QTest::newRow("clean") << "ABACBB"
                           << "clean"
                           << ""
                           << "ABC"
                           << "ABACBB"
                           << "ABC";
    QTest::newRow("clean, then another program's") << "ABACB"
                                                   << "clean"
                                                   << "+DA"
                                                   << "ABC"
                                                   << "ABACBDA"
                                                   << "ABCDA";
    QTest::newRow("clean, whose kept colors changed") << "ABACB"
                                                      << "clean"
                                                      << "=ABD"
                                                      << "ABC"
                                                      << "refused"
                                                      << "";
    QTest::newRow("clean of nothing to clean") << "ABC"
                                               << "clean"
                                               << ""
                                               << "ABC"
                                               << "ABC"
                                               << "ABC";
}

void tst_PaletteSteps::undoAndRedo()
{
    QFETCH(QString, initial);
    QFETCH(QString, step);
    QFETCH(QString, between);
    QFETCH(QString, afterStep);
    QFETCH(QString, afterUndo);
    QFETCH(QString, afterRedo);
    QTemporaryDir dir;
    const PaletteStore store(dir.path());
    writeFile(store.path(), records(initial));
    const QStringList words = step.split(' ');
    std::unique_ptr<PaletteStep> made;
    if (words[0] == "pick")
        made = palettesteps::append("Pick", chart(words[1]));
    else if (words[0] == "import")
        made = palettesteps::append("Import", chart(words[1]));
    else if (words[0] == "delete")
        made = palettesteps::deleteRecord(words[1].toInt(), chart(initial)[words[1].toInt() - 1]);
    else
        made = palettesteps::cleanDuplicates();

    made->redo(store);
    QCOMPARE(readFile(store.path()), records(afterStep));
    if (between.startsWith('+'))
        store.appendRecords(chart(between.mid(1)));
    else if (between.startsWith('='))
        writeFile(store.path(), records(between.mid(1)));
    const QByteArray before = readFile(store.path());
    if (afterUndo == "refused") {
        QVERIFY_THROWS_EXCEPTION(StepRefused, made->undo(store));
        QCOMPARE(readFile(store.path()), before);
        return;
    }
    made->undo(store);
    QCOMPARE(readFile(store.path()), records(afterUndo));
    made->redo(store);
    QCOMPARE(readFile(store.path()), records(afterRedo));
    // And back once more: the step holds what it needs for every turn.
    made->undo(store);
    QCOMPARE(readFile(store.path()), records(afterUndo));
    QVERIFY(!QFile::exists(dir.filePath("pal.ctm")) && !QFile::exists(dir.filePath("pal.tmp")));
}

QTEST_GUILESS_MAIN(tst_PaletteSteps)
#include "tst_palettesteps.moc"
