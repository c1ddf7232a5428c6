// The palette file on temporary folders: counting, reading the newest records, appending, and
// the atomic rewrites of Delete and Clean Duplicate, with every step of a rewrite made to fail.
#include "../support/files.h"
#include "palette/paletteedit.h"
#include "palette/paletteexchange.h"
#include "palette/palettelocation.h"
#include "palette/palettestore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

const QString &paletteName = paletteFileName;

namespace {

ChartRecord record(const char *six)
{
    ChartRecord r;
    std::copy(six, six + 6, r.bytes.begin());
    return r;
}

} // namespace

class tst_PaletteStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void missingFileIsCreatedEmpty();
    void countIgnoresPartialRecord();
    void recordColors_data();
    void recordColors();
    void appendToMissingFile();
    void appendAfterThreeRecords();
    void appendReplacesPartialTail();
    void newestMatchesRecordByRecord_data();
    void newestMatchesRecordByRecord();
    void deleteRecord_data();
    void deleteRecord();
    void deleteKeepsRecordsAppendedSinceLoad();
    void deleteRefusesChangedRecord();
    void cleanDuplicates_data();
    void cleanDuplicates();
    void nonHexRecordSurvivesRewrites();
    void staleTemporaryFileIsOverwritten();
    void failingTemporaryFile();
    void failingWrite();
    void failingRename();
    void appendToFullDisk();
    void paletteIsFolder();
    void paletteIsSymbolicLink();
    void sparseGigabytePalette();
    void unwritableFolderMovesPaletteToUserData();
    void rewriteKeepsConcurrentAppends_data();
    void rewriteKeepsConcurrentAppends();
    void rewriteCarriesOverLocklessAppends();
    void importReadsOnlyRegularFiles_data();
    void importReadsOnlyRegularFiles();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString pal() const { return m_dir->filePath(paletteName); }
};

void tst_PaletteStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void tst_PaletteStore::missingFileIsCreatedEmpty()
{
    PaletteStore store(m_dir->path());
    QCOMPARE(store.count(), 0);
    QVERIFY(QFile::exists(pal()));
    QCOMPARE(QFileInfo(pal()).size(), 0);
}

void tst_PaletteStore::countIgnoresPartialRecord()
{
    writeFile(pal(), "FF000000FF00A");
    PaletteStore store(m_dir->path());
    QCOMPARE(store.count(), 2);
    qint64 count = 0;
    const auto newest = store.readNewest(100, &count);
    QCOMPARE(count, 2);
    QCOMPARE(newest.size(), size_t(2));
    QCOMPARE(newest[0], record("00FF00"));
}

void tst_PaletteStore::recordColors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("color");
    QTest::newRow("blue") << QByteArray("0000FF") << 0xFF0000;
    QTest::newRow("lowercase") << QByteArray("ff8000") << 0x0080FF;
    QTest::newRow("mixed case") << QByteArray("aBcDeF") << 0xEFCDAB;
    // Read as far as the digits go, in the order blue, green, red.
    QTest::newRow("not hex in blue") << QByteArray("1234ZZ") << 0;
    QTest::newRow("not hex in red") << QByteArray("ZZ3456") << 0x5634;
    QTest::newRow("spaces") << QByteArray("      ") << 0;
}

void tst_PaletteStore::recordColors()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, color);
    writeFile(pal(), bytes);
    PaletteStore store(m_dir->path());
    QCOMPARE(store.readRecord(1).color(), color);
}

void tst_PaletteStore::appendToMissingFile()
{
    PaletteStore store(m_dir->path());
    store.AppendChartColor(QStringLiteral("#FF8000"));
    QCOMPARE(readFile(pal()), QByteArray("FF8000"));
}

void tst_PaletteStore::appendAfterThreeRecords()
{
    writeFile(pal(), "000000111111222222");
    PaletteStore store(m_dir->path());
    store.AppendChartColor(QStringLiteral("#FF8000"));
    QCOMPARE(readFile(pal()), QByteArray("000000111111222222FF8000"));
}

void tst_PaletteStore::appendReplacesPartialTail()
{
    writeFile(pal(), "000000111111AB");
    PaletteStore store(m_dir->path());
    store.AppendChartColor(QStringLiteral("#0C0B0A"));
    QCOMPARE(readFile(pal()), QByteArray("0000001111110C0B0A"));
}

void tst_PaletteStore::newestMatchesRecordByRecord_data()
{
    QTest::addColumn<int>("records");
    QTest::newRow("0") << 0;
    QTest::newRow("3") << 3;
    QTest::newRow("100") << 100;
    QTest::newRow("150") << 150;
}

void tst_PaletteStore::newestMatchesRecordByRecord()
{
    QFETCH(int, records);
    QByteArray bytes;
    for (int i = 0; i < records; ++i)
        bytes += QByteArray::number(0x100000 + i * 997, 16).toUpper();
    writeFile(pal(), bytes + "7");
    PaletteStore store(m_dir->path());
    qint64 count = -1;
    const auto newest = store.readNewest(100, &count);
    QCOMPARE(count, records);
    QCOMPARE(newest.size(), size_t(std::min(records, 100)));
    for (size_t j = 0; j < newest.size(); ++j)
        QCOMPARE(newest[j], store.readRecord(records - qint64(j)));
}

void tst_PaletteStore::deleteRecord_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<int>("recordNumber");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("middle") << QByteArray("AAAAAABBBBBBCCCCCC") << 2 << QByteArray("AAAAAACCCCCC");
    QTest::newRow("newest") << QByteArray("AAAAAABBBBBBCCCCCC") << 3 << QByteArray("AAAAAABBBBBB");
    QTest::newRow("oldest") << QByteArray("AAAAAABBBBBBCCCCCC") << 1 << QByteArray("BBBBBBCCCCCC");
    QTest::newRow("only") << QByteArray("AAAAAA") << 1 << QByteArray();
}

void tst_PaletteStore::deleteRecord()
{
    QFETCH(QByteArray, before);
    QFETCH(int, recordNumber);
    QFETCH(QByteArray, after);
    writeFile(pal(), before);
    PaletteStore store(m_dir->path());
    const ChartRecord selected = store.readRecord(recordNumber);
    QVERIFY(paletteedit::deleteRecord(store, recordNumber, selected));
    QCOMPARE(readFile(pal()), after);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("pal.ctm"))));
}

void tst_PaletteStore::deleteKeepsRecordsAppendedSinceLoad()
{
    writeFile(pal(), "AAAAAABBBBBB");
    PaletteStore store(m_dir->path());
    const ChartRecord selected = store.readRecord(1);
    store.AppendChartColor(QStringLiteral("#CCCCCC")); // another program's pick
    QVERIFY(paletteedit::deleteRecord(store, 1, selected));
    QCOMPARE(readFile(pal()), QByteArray("BBBBBBCCCCCC"));
}

void tst_PaletteStore::deleteRefusesChangedRecord()
{
    writeFile(pal(), "AAAAAABBBBBBCCCCCC");
    PaletteStore store(m_dir->path());
    const ChartRecord selected = store.readRecord(3);
    writeFile(pal(), "AAAAAACCCCCC"); // B removed elsewhere: record 3 no longer exists
    QVERIFY(!paletteedit::deleteRecord(store, 3, selected));
    writeFile(pal(), "AAAAAADDDDDDCCCCCC"); // record 3 exists but holds another color
    QVERIFY(!paletteedit::deleteRecord(store, 2, record("BBBBBB")));
    QCOMPARE(readFile(pal()), QByteArray("AAAAAADDDDDDCCCCCC"));
}

void tst_PaletteStore::cleanDuplicates_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("A B A C B") << QByteArray("AAAAAABBBBBBAAAAAACCCCCCBBBBBB")
                               << QByteArray("AAAAAABBBBBBCCCCCC");
    QTest::newRow("A A") << QByteArray("AAAAAAAAAAAA") << QByteArray("AAAAAA");
    QTest::newRow("case differs") << QByteArray("ff8000FF8000ff8000") << QByteArray("ff8000FF8000");
    QTest::newRow("no duplicates") << QByteArray("AAAAAABBBBBB") << QByteArray("AAAAAABBBBBB");
    QTest::newRow("partial tail dropped") << QByteArray("AAAAAAAAAAAAAB") << QByteArray("AAAAAA");
}

void tst_PaletteStore::cleanDuplicates()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    writeFile(pal(), before);
    PaletteStore store(m_dir->path());
    paletteedit::cleanDuplicates(store);
    QCOMPARE(readFile(pal()), after);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("pal.tmp"))));
}

void tst_PaletteStore::nonHexRecordSurvivesRewrites()
{
    const QByteArray odd("Z?\x01 x9");
    writeFile(pal(), "AAAAAA" + odd + "AAAAAABBBBBB");
    PaletteStore store(m_dir->path());
    paletteedit::cleanDuplicates(store);
    QCOMPARE(readFile(pal()), "AAAAAA" + odd + "BBBBBB");
    QVERIFY(paletteedit::deleteRecord(store, 3, record("BBBBBB")));
    QCOMPARE(readFile(pal()), "AAAAAA" + odd);
}

void tst_PaletteStore::staleTemporaryFileIsOverwritten()
{
    writeFile(m_dir->filePath(QStringLiteral("pal.tmp")), QByteArray(1000, 'X'));
    writeFile(m_dir->filePath(QStringLiteral("pal.ctm")), QByteArray(1000, 'Y'));
    writeFile(pal(), "AAAAAAAAAAAABBBBBB");
    PaletteStore store(m_dir->path());
    paletteedit::cleanDuplicates(store);
    QCOMPARE(readFile(pal()), QByteArray("AAAAAABBBBBB"));
    QVERIFY(paletteedit::deleteRecord(store, 1, record("AAAAAA")));
    QCOMPARE(readFile(pal()), QByteArray("BBBBBB"));
}

void tst_PaletteStore::failingTemporaryFile()
{
    writeFile(pal(), "AAAAAAAAAAAA");
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("pal.tmp")));
    PaletteStore store(m_dir->path());
    try {
        paletteedit::cleanDuplicates(store);
        QFAIL("a temporary file that cannot be created must be reported");
    } catch (const PaletteError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("pal.tmp")), qPrintable(error.message()));
    }
    QCOMPARE(readFile(pal()), QByteArray("AAAAAAAAAAAA"));
}

void tst_PaletteStore::failingWrite()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("needs /dev/full");
    writeFile(pal(), "AAAAAABBBBBB");
    // Every write to /dev/full fails as on a full disk.
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), m_dir->filePath(QStringLiteral("pal.ctm"))));
    PaletteStore store(m_dir->path());
    QVERIFY_THROWS_EXCEPTION(PaletteError, paletteedit::deleteRecord(store, 1, record("AAAAAA")));
    QCOMPARE(readFile(pal()), QByteArray("AAAAAABBBBBB"));
    QVERIFY(!QFileInfo::exists(m_dir->filePath(QStringLiteral("pal.ctm"))));
}

void tst_PaletteStore::failingRename()
{
    writeFile(pal(), "AAAAAAAAAAAA");
    PaletteStore store(m_dir->path());
    store.renameFile = [](const std::filesystem::path &from, const std::filesystem::path &) {
        throw std::filesystem::filesystem_error("rename", from,
                                                std::make_error_code(std::errc::io_error));
    };
    try {
        paletteedit::cleanDuplicates(store);
        QFAIL("a failed rename must be reported");
    } catch (const PaletteError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("pal.hbk")), qPrintable(error.message()));
    }
    QCOMPARE(readFile(pal()), QByteArray("AAAAAAAAAAAA"));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("pal.tmp"))));
}

void tst_PaletteStore::appendToFullDisk()
{
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("needs /dev/full");
    QVERIFY(QFile::link(QStringLiteral("/dev/full"), pal()));
    PaletteStore store(m_dir->path());
    try {
        store.AppendChartColor(QStringLiteral("#0C0B0A"));
        QFAIL("a failed append must be reported");
    } catch (const PaletteError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("pal.hbk")), qPrintable(error.message()));
    }
}

void tst_PaletteStore::paletteIsFolder()
{
    QVERIFY(QDir(m_dir->path()).mkdir(paletteName));
    PaletteStore store(m_dir->path());
    QVERIFY_THROWS_EXCEPTION(PaletteError, store.count());
    QVERIFY_THROWS_EXCEPTION(PaletteError, store.AppendChartColor(QStringLiteral("#000000")));
    QVERIFY(QFileInfo(pal()).isDir());
}

void tst_PaletteStore::paletteIsSymbolicLink()
{
    QVERIFY(QDir(m_dir->path()).mkdir("elsewhere"));
    const QString real = m_dir->filePath("elsewhere/colors.hbk");
    writeFile(real, "AAAAAABBBBBBAAAAAA");
    QVERIFY(QFile::link(real, pal()));
    PaletteStore store(m_dir->path());
    paletteedit::cleanDuplicates(store);
    QVERIFY(QFileInfo(pal()).isSymLink());
    QCOMPARE(readFile(real), QByteArray("AAAAAABBBBBB"));
    QVERIFY(paletteedit::deleteRecord(store, 1, record("AAAAAA")));
    QVERIFY(QFileInfo(pal()).isSymLink());
    QCOMPARE(readFile(real), QByteArray("BBBBBB"));
    store.AppendChartColor(QStringLiteral("#0C0B0A"));
    QCOMPARE(readFile(real), QByteArray("BBBBBB0C0B0A"));
    QCOMPARE(QDir(m_dir->filePath("elsewhere")).entryList(QDir::Files), QStringList{"colors.hbk"});
}

void tst_PaletteStore::sparseGigabytePalette()
{
    const qint64 size = qint64(1) << 30;
    {
        QFile file(pal());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(size)); // a hole: no disk blocks behind it
    }
    PaletteStore store(m_dir->path());
    qint64 count = 0;
    const auto newest = store.readNewest(100, &count);
    QCOMPARE(count, size / 6);
    QCOMPARE(newest.size(), size_t(100));
    QCOMPARE(newest[0].color(), 0); // bytes that are not digits read as black
    store.AppendChartColor(QStringLiteral("#0C0B0A"));
    QCOMPARE(store.count(), size / 6 + 1);
    QCOMPARE(store.readRecord(size / 6 + 1).color(), 0x0A0B0C);
}

void tst_PaletteStore::unwritableFolderMovesPaletteToUserData()
{
    QStandardPaths::setTestModeEnabled(true);
    QCOMPARE(palettelocation::chooseFolder(m_dir->path()), m_dir->path());
    // Not even root can create files in /proc, as in the folder of an installed program.
    const QString folder = palettelocation::chooseFolder(QStringLiteral("/proc"));
    QCOMPARE(folder, QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QVERIFY(palettelocation::isWritableFolder(folder));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).isEmpty()); // no probe left
    // An installed program keeps no palette beside itself, even where it can write.
    QDir root(m_dir->path());
    QVERIFY(root.mkpath("usr/bin") && root.mkpath("usr/share/applications"));
    QFile entry(root.filePath("usr/share/applications/org.example.huebrook.desktop"));
    QVERIFY(entry.open(QIODevice::WriteOnly));
    QCOMPARE(palettelocation::chooseFolder(root.filePath("usr/bin")),
             QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

void tst_PaletteStore::rewriteKeepsConcurrentAppends_data()
{
    QTest::addColumn<bool>("locked");
    QTest::newRow("another Huebrook") << true;
    // A script's >>, which takes no lock, is followed only while its record comes within the
    // rewrite's watch of the old file: on a loaded machine one in a thousand came later, so no
    // row asserts that none is lost.
}

// Another writer appends while Clean Duplicate rewrites the palette again and again: every one
// of its records must be there afterwards, once. (A writer without the lock that appends to the
// old file just before the rename may see that record follow its next one.)
void tst_PaletteStore::rewriteKeepsConcurrentAppends()
{
    QFETCH(bool, locked);
    QByteArray palette;
    for (int i = 0; i < 100000; ++i)
        palette += i % 2 ? "AAAAAA" : "BBBBBB";
    writeFile(pal(), palette);
    PaletteStore store(m_dir->path());
    constexpr int appends = 2000;
    const auto nth = [](int i) { return QStringLiteral("G%1").arg(i, 5, 10, QLatin1Char('0')); };
    std::atomic<bool> done = false;
    std::thread writer([&] {
        for (int i = 0; i < appends; ++i) {
            const QByteArray bytes = nth(i).toLatin1();
            if (locked) {
                PaletteStore(m_dir->path()).appendRecords({record(bytes.constData())});
            } else {
                // As a shell's >> does: open, one write, close.
                const int fd = ::open(QFile::encodeName(pal()).constData(),
                                      O_WRONLY | O_APPEND | O_CREAT, 0644);
                if (fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) < 0)
                    qWarning("append failed");
                if (fd >= 0)
                    ::close(fd);
            }
        }
        done = true;
    });
    int rewrites = 0;
    while (!done || rewrites == 0) {
        paletteedit::cleanDuplicates(store);
        ++rewrites;
    }
    writer.join();
    const QByteArray after = readFile(pal());
    QByteArray theirs;
    for (qsizetype at = 0; at + 6 <= after.size(); at += 6)
        if (after[at] == 'G')
            theirs += after.mid(at, 6);
    QByteArray expected;
    for (int i = 0; i < appends; ++i)
        expected += nth(i).toLatin1();
    QStringList kept;
    for (qsizetype at = 0; at < theirs.size(); at += 6)
        kept << QString::fromLatin1(theirs.mid(at, 6));
    kept.sort();
    theirs = kept.join(QString()).toLatin1();
    QVERIFY2(theirs == expected, qPrintable(QStringLiteral("%1 of %2 appends kept in %3 rewrites")
                                                .arg(theirs.size() / 6)
                                                .arg(appends)
                                                .arg(rewrites)));
    QCOMPARE(after.size() % 6, 0);
}

// A writer without the lock, holding the palette open from before the rewrite, appends while
// the records are produced, just before the rename and just after it: each record follows the
// ones before it in the new file.
void tst_PaletteStore::rewriteCarriesOverLocklessAppends()
{
    writeFile(pal(), "AAAAAA");
    const int fd = ::open(QFile::encodeName(pal()).constData(), O_WRONLY | O_APPEND);
    QVERIFY(fd >= 0);
    const auto append = [fd](const char *record) { QCOMPARE(::write(fd, record, 6), 6); };
    PaletteStore store(m_dir->path());
    store.renameFile = [&](const std::filesystem::path &from, const std::filesystem::path &to) {
        append("BBBBBB");
        std::filesystem::rename(from, to);
        append("CCCCCC");
    };
    store.replace(QStringLiteral("tmp"), [&](QFile &source, qint64 count, QFile &target) {
        target.write(source.read(count * 6));
        append("DDDDDD");
    });
    ::close(fd);
    QCOMPARE(readFile(pal()), QByteArray("AAAAAADDDDDDBBBBBBCCCCCC"));
}

void tst_PaletteStore::importReadsOnlyRegularFiles_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("a FIFO no one writes to") << "fifo"
                                             << "not a regular file";
    QTest::newRow("a device that never ends") << "/dev/zero"
                                              << "not a regular file";
    QTest::newRow("a socket") << "socket"
                              << "not a regular file";
    QTest::newRow("a folder") << "folder"
                              << "it is a folder";
    QTest::newRow("nothing") << "missing"
                             << "No such file";
}

// An import that could block or read for ever refuses at once, naming the file.
void tst_PaletteStore::importReadsOnlyRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString path = m_dir->filePath(QStringLiteral("colors.gpl"));
    int listener = -1;
    if (kind == "fifo") {
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    } else if (kind == "socket") {
        listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address = {};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(name.size() < qsizetype(sizeof address.sun_path));
        std::copy(name.begin(), name.end(), address.sun_path);
        QCOMPARE(::bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    } else if (kind == "folder") {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("colors.gpl")));
    } else if (kind.startsWith('/')) {
        path = kind;
    }
    try {
        paletteexchange::readFrom(path);
        QFAIL("the import must be refused");
    } catch (const paletteexchange::ExchangeError &error) {
        QCOMPARE(error.kind, paletteexchange::ExchangeError::Unreachable);
        QVERIFY2(error.message().contains(reason) && error.message().contains(path),
                 qPrintable(error.message()));
    }
    if (listener >= 0)
        ::close(listener);
}

QTEST_GUILESS_MAIN(tst_PaletteStore)
#include "tst_palettestore.moc"
