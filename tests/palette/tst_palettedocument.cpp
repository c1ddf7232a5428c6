// The palettes' owner: changes wait behind a long one and run in the order asked, off the
// caller's thread; what is still waiting is made before the owner goes; a refused undo leaves
// the history; each failure is said once, where it was asked to be.
#include "../support/files.h"
#include "../support/heldlock.h"
#include "palette/palettedocument.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class tst_PaletteDocument : public QObject
{
    Q_OBJECT
private slots:
    void changesWaitAndRunInOrder();
    void whatWaitsIsMadeBeforeTheOwnerGoes();
    void aRefusedUndoLeavesTheHistory();
    void importFailuresAreSaidWhereAsked_data();
    void importFailuresAreSaidWhereAsked();
};

void tst_PaletteDocument::changesWaitAndRunInOrder()
{
    QTemporaryDir dir;
    const QString palette = dir.filePath("pal.hbk");
    writeFile(palette, "AAAAAABBBBBBAAAAAA");
    const QString source = dir.filePath("in.gpl");
    writeFile(source, "GIMP Palette\n1 2 3\n4 5 6\n");
    PaletteDocument document{PaletteStore(dir.path())};
    QSignalSpy busy(&document, &PaletteDocument::busyChanged);
    QStringList order;
    {
        HeldLock lock(palette);
        QVERIFY(lock.held());
        document.pick(0x0000CC, {}, [&](const QString &failure) { order << "pick " + failure; });
        document.importFile(source, {}, [&](const PaletteDocument::ImportOutcome &outcome) {
            order << "import " + outcome.said;
        });
        document.cleanDuplicates();
        document.pick(0x0000DD, {}, [&](const QString &failure) { order << "pick " + failure; });
        document.undo(); // takes the last pick, whatever the stack held when it was asked
        // All of it waits behind the first, which waits for the lock on the worker.
        QVERIFY(document.busy());
        QCOMPARE(busy.size(), 1);
        QCOMPARE(readFile(palette), QByteArray("AAAAAABBBBBBAAAAAA"));
        QVERIFY(order.isEmpty());
    }
    QTRY_VERIFY(!document.busy());
    QCOMPARE(readFile(palette), QByteArray("AAAAAABBBBBBCC0000010203040506"));
    QCOMPARE(order, QStringList({"pick ", "import ", "pick "}));
    QCOMPARE(busy.size(), 2);
    QCOMPARE(document.history().redoText(), QStringLiteral("Redo Pick"));
    QCOMPARE(document.history().undoText(), QStringLiteral("Undo Clean Duplicate"));
}

void tst_PaletteDocument::whatWaitsIsMadeBeforeTheOwnerGoes()
{
    QTemporaryDir dir;
    QStringList answers;
    {
        PaletteDocument document{PaletteStore(dir.path())};
        for (Color color : {0x010101, 0x020202, 0x030303})
            document.pick(color, {}, [&](const QString &failure) { answers << failure; });
        document.pick(0x040404, "../elsewhere",
                      [&](const QString &failure) { answers << failure.left(20); });
    }
    QCOMPARE(readFile(dir.filePath("pal.hbk")), QByteArray("010101020202030303"));
    QCOMPARE(answers.size(), 4);
    QVERIFY2(answers.mid(0, 3) == QStringList(3, QString()) && !answers[3].isEmpty(),
             qPrintable(answers.join('|')));
}

void tst_PaletteDocument::aRefusedUndoLeavesTheHistory()
{
    QTemporaryDir dir;
    const QString palette = dir.filePath("pal.hbk");
    writeFile(palette, "AAAAAA");
    PaletteDocument document{PaletteStore(dir.path())};
    QSignalSpy failed(&document, &PaletteDocument::failed);
    document.pick(0x0000BB);
    QTRY_VERIFY(!document.busy());
    QVERIFY(document.history().canUndo());
    writeFile(palette, "CCCCCC"); // another program rewrote it: the pick is gone
    document.undo();
    QTRY_VERIFY(!document.busy());
    QCOMPARE(failed.size(), 1);
    QCOMPARE(readFile(palette), QByteArray("CCCCCC"));
    QVERIFY(!document.history().canUndo());
    QVERIFY(!document.history().canRedo());
}

void tst_PaletteDocument::importFailuresAreSaidWhereAsked_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("status");
    QTest::newRow("no palette") << QByteArray("GIMP Palette\n1 2 300\n")
                                << int(PaletteDocument::ImportOutcome::Malformed);
    QTest::newRow("not there") << QByteArray() << int(PaletteDocument::ImportOutcome::Failed);
}

void tst_PaletteDocument::importFailuresAreSaidWhereAsked()
{
    QFETCH(QByteArray, content);
    QFETCH(int, status);
    QTemporaryDir dir;
    const QString source = dir.filePath("in.gpl");
    if (!content.isEmpty())
        writeFile(source, content);
    PaletteDocument document{PaletteStore(dir.path())};
    QSignalSpy failed(&document, &PaletteDocument::failed);
    std::optional<PaletteDocument::ImportOutcome> outcome;
    document.importFile(source, {},
                        [&](const PaletteDocument::ImportOutcome &got) { outcome = got; });
    QTRY_VERIFY(outcome);
    QCOMPARE(int(outcome->status), status);
    QVERIFY2(outcome->said.contains(source), qPrintable(outcome->said));
    QCOMPARE(failed.size(), 0);
    // Asked without an answer to take it, the window hears it.
    document.importFile(source);
    QTRY_COMPARE(failed.size(), 1);
    QCOMPARE(failed[0][0].toString(), outcome->said);
    QVERIFY(!QFile::exists(dir.filePath("pal.hbk"))); // nothing was written
}

QTEST_GUILESS_MAIN(tst_PaletteDocument)
#include "tst_palettedocument.moc"
