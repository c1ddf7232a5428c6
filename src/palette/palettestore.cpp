// The palette file: counting by size, reading the newest records with one seek, appending at the
// end of the whole records, and replacing the file atomically through a temporary file.
#include "palettestore.h"

#include "filesync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QtGlobal>
#include <cerrno>
#include <cstring>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

QString describe(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void fail(const QString &what, const QString &path, const QString &reason)
{
    throw PaletteError(
        QStringLiteral("Could not %1 the palette file %2: %3.").arg(what, describe(path), reason));
}

// Opens for reading, creating an empty file first when none exists.
void openForReading(QFile &file)
{
    if (!file.exists()) {
        if (!file.open(QIODevice::WriteOnly))
            fail(QStringLiteral("create"), file.fileName(), file.errorString());
        file.close();
    }
    if (QFileInfo(file.fileName()).isDir())
        fail(QStringLiteral("read"), file.fileName(), QStringLiteral("it is a folder"));
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("read"), file.fileName(), file.errorString());
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// The advisory lock every Huebrook writer takes on the palette for an append or a rewrite.
void lock(QFile &file, const QString &what)
{
    int done;
    do
        done = ::flock(file.handle(), LOCK_EX);
    while (done != 0 && errno == EINTR);
    if (done != 0)
        fail(what, file.fileName(), systemError());
}

// Whether the open file is still the one the path names: a rewrite renames a new file over the
// palette, so a writer that waited for the lock of the old one must open the new one.
bool stillAtPath(const QFile &file)
{
    struct stat open = {}, named = {};
    if (::fstat(file.handle(), &open) != 0 ||
        ::stat(QFile::encodeName(file.fileName()).constData(), &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

// Opens file with mode and holds the palette's lock on it; fail names what was being done.
void openLocked(QFile &file, QIODevice::OpenMode mode, const QString &what)
{
    for (int attempt = 0;; ++attempt) {
        if (!file.open(mode))
            fail(what, file.fileName(), file.errorString());
        lock(file, what);
        // A rewrite that keeps renaming over us would be a bug of ours; do not spin on it.
        if (stillAtPath(file) || attempt == 100)
            return;
        file.close();
    }
}

// Copies the whole records from byte `from` of source to the end of target, for records that
// writers who take no lock appended meanwhile; returns where the whole records now end.
qint64 carryOver(QFile &source, qint64 from, QFile &target)
{
    const qint64 end = source.size() / ChartRecord::size * ChartRecord::size;
    if (end <= from)
        return from;
    if (!source.seek(from))
        fail(QStringLiteral("read"), source.fileName(), source.errorString());
    // Whole records at a time: other writers may append to target between two writes.
    std::vector<char> buffer(
        static_cast<size_t>(std::min<qint64>(end - from, ChartRecord::size * (1 << 17))));
    for (qint64 at = from; at < end;) {
        const qint64 n = std::min<qint64>(end - at, static_cast<qint64>(buffer.size()));
        palettefile::readExactly(source, buffer.data(), n);
        palettefile::writeAll(target, buffer.data(), n);
        at += n;
    }
    return end;
}

} // namespace

namespace palettefile {

void readExactly(QFile &file, char *data, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const qint64 n = file.read(data + done, size - done);
        if (n <= 0)
            fail(QStringLiteral("read"), file.fileName(),
                 n < 0 ? file.errorString() : QStringLiteral("it ended early"));
        done += n;
    }
}

void writeAll(QFile &file, const char *data, qint64 size)
{
    if (file.write(data, size) != size)
        fail(QStringLiteral("write"), file.fileName(), file.errorString());
}

} // namespace palettefile

PaletteStore::PaletteStore(QString folder, QString fileName)
    : renameFile([](const std::filesystem::path &from, const std::filesystem::path &to) {
          std::filesystem::rename(from, to);
      }),
      m_folder(std::move(folder)), m_fileName(std::move(fileName))
{
}

QString PaletteStore::path() const
{
    return m_folder + QLatin1Char('/') + m_fileName;
}

QString PaletteStore::siblingName(const QString &extension) const
{
    return QFileInfo(m_fileName).completeBaseName() + QLatin1Char('.') + extension;
}

qint64 PaletteStore::count() const
{
    QFile file(path());
    openForReading(file);
    return file.size() / ChartRecord::size;
}

std::vector<ChartRecord> PaletteStore::readNewest(int max, qint64 *count, qint64 skip) const
{
    QFile file(path());
    openForReading(file);
    const qint64 whole = file.size() / ChartRecord::size;
    if (count)
        *count = whole;
    const qint64 total = std::max<qint64>(0, whole - std::max<qint64>(0, skip));
    const qint64 shown = std::min<qint64>(total, max);
    std::vector<ChartRecord> records(static_cast<size_t>(shown));
    if (shown == 0)
        return records;
    std::vector<char> buffer(static_cast<size_t>(shown * ChartRecord::size));
    if (!file.seek((total - shown) * ChartRecord::size))
        fail(QStringLiteral("read"), file.fileName(), file.errorString());
    palettefile::readExactly(file, buffer.data(), static_cast<qint64>(buffer.size()));
    for (qint64 j = 0; j < shown; ++j) {
        const char *src = buffer.data() + (shown - 1 - j) * ChartRecord::size;
        std::copy(src, src + ChartRecord::size, records[static_cast<size_t>(j)].bytes.begin());
    }
    return records;
}

std::vector<ChartRecord> PaletteStore::readRecords(qint64 first, qint64 max) const
{
    QFile file(path());
    openForReading(file);
    const qint64 whole = file.size() / ChartRecord::size;
    const qint64 n = first < 1 ? 0 : std::clamp<qint64>(whole - first + 1, 0, max);
    std::vector<ChartRecord> records(static_cast<size_t>(n));
    if (n == 0)
        return records;
    if (!file.seek((first - 1) * ChartRecord::size))
        fail(QStringLiteral("read"), file.fileName(), file.errorString());
    palettefile::readExactly(file, reinterpret_cast<char *>(records.data()), n * ChartRecord::size);
    return records;
}

ChartRecord PaletteStore::readRecord(qint64 n) const
{
    QFile file(path());
    openForReading(file);
    ChartRecord record;
    if (n < 1 || n > file.size() / ChartRecord::size)
        fail(QStringLiteral("read"), file.fileName(),
             QStringLiteral("record %1 does not exist").arg(n));
    if (!file.seek((n - 1) * ChartRecord::size))
        fail(QStringLiteral("read"), file.fileName(), file.errorString());
    palettefile::readExactly(file, record.bytes.data(), ChartRecord::size);
    return record;
}

void PaletteStore::AppendChartColor(const QString &hexText) const
{
    appendRecords({ChartRecord::fromHexText(hexText)});
}

qint64 PaletteStore::appendRecords(const std::vector<ChartRecord> &records) const
{
    QFile file(path());
    if (QFileInfo(file.fileName()).isDir())
        fail(QStringLiteral("add a color to"), file.fileName(), QStringLiteral("it is a folder"));
    openLocked(file, QIODevice::ReadWrite, QStringLiteral("add a color to"));
    const qint64 end = file.size() / ChartRecord::size * ChartRecord::size;
    if (!file.seek(end))
        fail(QStringLiteral("add a color to"), file.fileName(), file.errorString());
    const qint64 bytes = static_cast<qint64>(records.size()) * ChartRecord::size;
    // A disk that fills up while the records go out leaves a short tail: cut it back so the
    // file never gains a partial record, nor some of the records and not the others.
    auto cutBack = [&](const QString &reason) {
        file.resize(end);
        fail(QStringLiteral("add a color to"), file.fileName(), reason);
    };
    if (file.write(reinterpret_cast<const char *>(records.data()), bytes) != bytes)
        cutBack(file.errorString());
    if (!file.flush())
        cutBack(file.errorString());
    if (file.size() < end + bytes)
        cutBack(file.errorString());
    return end / ChartRecord::size;
}

std::vector<ChartRecord> PaletteStore::readAll() const
{
    QFile file(path());
    openForReading(file);
    std::vector<ChartRecord> records(static_cast<size_t>(file.size() / ChartRecord::size));
    palettefile::readExactly(file, reinterpret_cast<char *>(records.data()),
                             static_cast<qint64>(records.size()) * ChartRecord::size);
    return records;
}

void PaletteStore::replace(
    const QString &tempExtension,
    const std::function<void(QFile &source, qint64 count, QFile &target)> &produce) const
{
    QFile source(path());
    openForReading(source);
    source.close();
    openLocked(source, QIODevice::ReadOnly, QStringLiteral("rewrite"));
    // A palette that is a symbolic link is rewritten where it points, so the link survives and
    // the rename never crosses file systems.
    const QFileInfo link(source.fileName());
    const QString palettePath = link.isSymLink() ? link.canonicalFilePath() : link.filePath();
    QFile target(QFileInfo(palettePath).absolutePath() + QLatin1Char('/') +
                 siblingName(tempExtension));
    // A stale temporary file from an interrupted rewrite is simply overwritten.
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail(QStringLiteral("rewrite"), path(),
             QStringLiteral("the temporary file %1 cannot be created (%2)")
                 .arg(describe(target.fileName()), target.errorString()));
    bool renamed = false;
    try {
        const qint64 total = source.size() / ChartRecord::size;
        produce(source, total, target);
        // What writers that take no lock (a script's >>) appended while the records were
        // produced goes after them, as it would have in the old file.
        qint64 copied = carryOver(source, total * ChartRecord::size, target);
        if (!target.flush() || !filesync::syncToDisk(target))
            fail(QStringLiteral("write"), target.fileName(), target.errorString());
        // Huebrook writers that wait for the lock of the new file must find it finished.
        lock(target, QStringLiteral("rewrite"));
        // Once it is in place, writers that take no lock append to it too: what follows goes
        // after theirs, never over it.
        QFile appender(target.fileName());
        if (!appender.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
            fail(QStringLiteral("write"), target.fileName(), appender.errorString());
        try {
            renameFile(QFile::encodeName(target.fileName()).toStdString(),
                       QFile::encodeName(palettePath).toStdString());
        } catch (const std::filesystem::filesystem_error &e) {
            fail(QStringLiteral("replace"), source.fileName(),
                 QString::fromLocal8Bit(e.code().message().c_str()));
        }
        renamed = true;
        // A writer that waits for the old file's lock, having opened it before the rename, may
        // write into it once it has the lock: it gets it now, while the old file is watched.
        ::flock(source.handle(), LOCK_UN);
        // A writer that opened the old file just before the rename writes into it just after:
        // those records follow the others, as long as the old file keeps growing briefly.
        // A writer still holding the old file open is followed for 200 looks at most.
        const qint64 inPlace = copied;
        for (int waited = 0;; ++waited) {
            const qint64 now = carryOver(source, copied, appender);
            const bool quiet = now == copied;
            copied = now;
            if ((quiet && waited > 1) || waited >= 200)
                break;
            if (lateWriterWait.count() > 0)
                QThread::msleep(static_cast<unsigned long>(lateWriterWait.count()));
        }
        if (copied != inPlace && !filesync::syncToDisk(appender))
            fail(QStringLiteral("write"), target.fileName(), appender.errorString());
        target.close();
        source.close();
        filesync::syncFolder(QFileInfo(palettePath).absolutePath());
    } catch (...) {
        if (renamed)
            throw; // the new palette is in place: the temporary file is no longer ours

        target.close();
        QFile::remove(target.fileName());
        throw;
    }
}
