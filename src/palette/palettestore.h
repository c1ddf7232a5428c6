// The palette file: a plain sequence of six-byte records, oldest first.
#pragma once

#include "chartrecord.h"

#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <vector>

class QFile;

// The palette's file name, in the folder palettelocation chooses.
inline const QString paletteFileName = QStringLiteral("pal.hbk");

// A file-system failure, with one sentence for the user that names the file and the reason.
class PaletteError : public std::runtime_error
{
public:
    explicit PaletteError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// One palette file, bound to its folder and name.
class PaletteStore
{
public:
    explicit PaletteStore(QString folder, QString fileName = paletteFileName);

    const QString &folder() const { return m_folder; }
    const QString &fileName() const { return m_fileName; }
    QString path() const;
    // The name of a file beside the palette with the palette's base name and another extension:
    // "pal.ctm" for "pal.hbk".
    QString siblingName(const QString &extension) const;

    // The number of whole records; a partial record at the end is not counted. Creates an empty
    // file when none exists.
    qint64 count() const;

    // Up to `max` records, newest first, after the `skip` newest ones, read with one seek
    // whatever the file's size. `count` receives the number of whole records. Creates an empty
    // file when none exists.
    std::vector<ChartRecord> readNewest(int max, qint64 *count, qint64 skip = 0) const;

    // Up to `max` records from record `first` (1-based) on, oldest first.
    std::vector<ChartRecord> readRecords(qint64 first, qint64 max) const;

    // Record n (1-based).
    ChartRecord readRecord(qint64 n) const;

    // Appends and rewrites hold an advisory lock (flock) on the palette, so Huebrook writers
    // never lose each other's records; a rewrite also keeps what writers that take no lock
    // append meanwhile.

    // Writes one record as record count + 1, so it replaces a partial tail. Never reads the file.
    void AppendChartColor(const QString &hexText) const;
    // The same for many records in one write: all of them are appended, or none. Returns the
    // number of whole records before them.
    qint64 appendRecords(const std::vector<ChartRecord> &records) const;

    // Every whole record, oldest first. Creates an empty file when none exists.
    std::vector<ChartRecord> readAll() const;

    // Replaces the file with the records that `produce` writes into the temporary file beside
    // it with the extension tempExtension, so that the file is at every instant either the old or
    // the new palette. On failure the file is untouched and the temporary file is removed.
    void
    replace(const QString &tempExtension,
            const std::function<void(QFile &source, qint64 count, QFile &target)> &produce) const;

    // How long a rewrite, once its file is in place, looks out for records written into the old
    // file by writers that take no lock and opened it just before; again as long as it grows.
    std::chrono::milliseconds lateWriterWait{2};

    // The step that puts the finished temporary file in place; tests substitute a failing one.
    std::function<void(const std::filesystem::path &, const std::filesystem::path &)> renameFile;

private:
    QString m_folder;
    QString m_fileName;
};

// Reading and writing helpers shared by the rewrites; they throw PaletteError.
namespace palettefile {
void readExactly(QFile &file, char *data, qint64 size);
void writeAll(QFile &file, const char *data, qint64 size);
} // namespace palettefile
