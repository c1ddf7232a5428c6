// Exchange with other programs: the table of formats, recognising a file by its first bytes,
// and the export and import that the Edit menu and the command line share.
#include "paletteexchange.h"

#include "exchange/adobeswatches.h"
#include "exchange/cssproperties.h"
#include "exchange/kritapalette.h"
#include "exchange/librecolortable.h"
#include "exchange/photoshopswatches.h"
#include "gimppalette.h"
#include "palettestore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace paletteexchange {

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

std::vector<Color> colorsOf(const std::vector<ChartRecord> &records)
{
    std::vector<Color> colors;
    colors.reserve(records.size());
    for (const ChartRecord &record : records)
        colors.push_back(record.color());
    return colors;
}

std::vector<ChartRecord> recordsOf(const std::vector<Color> &colors)
{
    std::vector<ChartRecord> records;
    records.reserve(colors.size());
    for (const Color color : colors)
        records.push_back(ChartRecord::fromHexText(bascommon::ColorToHex(color)));
    return records;
}

// The format a file's first bytes name; nothing for anything else.
std::optional<Format> formatOfContent(QByteArrayView data)
{
    QByteArrayView text = data;
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);
    if (text.trimmed().startsWith("GIMP Palette"))
        return Format::Gimp;
    if (data.startsWith("ASEF"))
        return Format::AdobeSwatches;
    if (data.startsWith("PK\x03\x04") || data.startsWith("PK\x05\x06"))
        return Format::Krita;
    if (text.trimmed().startsWith('<'))
        return Format::LibreOffice;
    if (data.size() >= 2 && data[0] == 0 && (data[1] == 1 || data[1] == 2))
        return Format::PhotoshopSwatches;
    return std::nullopt;
}

swatchfile::Colors readColors(Format format, const QByteArray &data)
{
    switch (format) {
    case Format::AdobeSwatches:
        return adobeswatches::read(data);
    case Format::PhotoshopSwatches:
        return photoshopswatches::read(data);
    case Format::Krita:
        return kritapalette::read(data);
    case Format::LibreOffice:
        return librecolortable::read(data);
    case Format::Gimp:
    case Format::Css:
        break;
    }
    return {};
}

} // namespace

const std::vector<FormatInfo> &formats()
{
    static const std::vector<FormatInfo> table = {
        {Format::Gimp, QStringLiteral("gpl"), QStringLiteral("GIMP palette"), true},
        {Format::AdobeSwatches, QStringLiteral("ase"), QStringLiteral("Adobe Swatch Exchange"),
         true},
        {Format::PhotoshopSwatches, QStringLiteral("aco"), QStringLiteral("Photoshop swatches"),
         true},
        {Format::Krita, QStringLiteral("kpl"), QStringLiteral("Krita palette"), true},
        {Format::LibreOffice, QStringLiteral("soc"), QStringLiteral("LibreOffice color table"),
         true},
        {Format::Css, QStringLiteral("css"), QStringLiteral("CSS custom properties"), false},
    };
    return table;
}

const FormatInfo &info(Format format)
{
    return formats()[static_cast<size_t>(format)];
}

QString dialogFilter(const FormatInfo &format)
{
    return QStringLiteral("%1 (*.%2)").arg(format.description, format.extension);
}

std::optional<Format> formatOfName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const FormatInfo &format : formats())
        if (suffix.compare(format.extension, Qt::CaseInsensitive) == 0)
            return format.format;
    return std::nullopt;
}

QByteArray write(Format format, const std::vector<ChartRecord> &records, const QString &name,
                 const QString &path)
{
    switch (format) {
    case Format::Gimp:
        return gimppalette::write(records, name);
    case Format::AdobeSwatches:
        return adobeswatches::write(colorsOf(records));
    case Format::PhotoshopSwatches:
        if (records.size() > photoshopswatches::maxColors)
            throw ExchangeError(
                ExchangeError::Unreachable,
                QStringLiteral("Could not export the palette to %1: Photoshop swatches hold at "
                               "most %2 colors, and the palette has %3.")
                    .arg(shown(path))
                    .arg(photoshopswatches::maxColors)
                    .arg(records.size()));
        return photoshopswatches::write(colorsOf(records));
    case Format::Krita:
        return kritapalette::write(colorsOf(records), name);
    case Format::LibreOffice:
        return librecolortable::write(colorsOf(records));
    case Format::Css:
        return cssproperties::write(colorsOf(records));
    }
    return {};
}

Imported read(const QByteArray &data, const QString &path)
{
    const auto malformed = [&path](const QString &reason) {
        return ExchangeError(
            ExchangeError::Malformed,
            QStringLiteral("Nothing was imported from %1: %2.").arg(shown(path), reason));
    };
    if (data.isEmpty())
        throw malformed(QStringLiteral("it is empty"));
    const std::optional<Format> format = formatOfContent(data);
    if (!format)
        throw malformed(QStringLiteral("it is no GIMP, Adobe, Photoshop, Krita or LibreOffice "
                                       "palette"));
    Imported imported;
    imported.format = *format;
    try {
        if (*format == Format::Gimp) {
            imported.records = gimppalette::read(data);
        } else {
            const swatchfile::Colors colors = readColors(*format, data);
            imported.records = recordsOf(colors.colors);
            imported.skipped = colors.skipped;
        }
    } catch (const gimppalette::FormatError &error) {
        throw malformed(QStringLiteral("line %1 %2").arg(error.line).arg(error.reason));
    } catch (const swatchfile::FormatError &error) {
        throw malformed(QStringLiteral("as %1, %2").arg(info(*format).description, error.reason));
    } catch (const std::runtime_error &error) {
        // Not the file's fault: a library it needs is missing.
        throw ExchangeError(ExchangeError::Unreachable,
                            QStringLiteral("Could not import the palette %1: %2.")
                                .arg(shown(path), QString::fromUtf8(error.what())));
    }
    if (imported.records.empty())
        throw malformed(imported.skipped > 0
                            ? QStringLiteral("none of its colors is in a color space Huebrook "
                                             "reads")
                            : QStringLiteral("it holds no color"));
    return imported;
}

void exportTo(const PaletteStore &store, const QString &path, Format format)
{
    QByteArray bytes;
    try {
        bytes = write(format, store.readAll(), QFileInfo(path).completeBaseName(), path);
    } catch (const ExchangeError &) {
        throw;
    } catch (const PaletteError &) {
        throw;
    } catch (const std::runtime_error &error) {
        // The ZIP library failing on a buffer of its own: out of memory, in practice.
        throw ExchangeError(ExchangeError::Unreachable,
                            QStringLiteral("Could not export the palette to %1: %2.")
                                .arg(shown(path), QString::fromUtf8(error.what())));
    }
    // Beside the target first, then renamed over it: an old file is replaced whole or not at
    // all.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw ExchangeError(ExchangeError::Unreachable,
                            QStringLiteral("Could not export the palette to %1: %2.")
                                .arg(shown(path), file.errorString()));
}

Imported importFrom(const PaletteStore &store, const QString &path)
{
    Imported imported = readFrom(path);
    store.appendRecords(imported.records);
    return imported;
}

Imported readFrom(const QString &path)
{
    const auto unreachable = [&](const QString &reason) {
        return ExchangeError(
            ExchangeError::Unreachable,
            QStringLiteral("Could not import the palette %1: %2.").arg(shown(path), reason));
    };
    // Asked first by name, since opening a socket fails and opening a FIFO could wait.
    struct stat named = {};
    if (::stat(QFile::encodeName(path).constData(), &named) == 0 && !S_ISDIR(named.st_mode) &&
        !S_ISREG(named.st_mode))
        throw unreachable(QStringLiteral("not a regular file"));
    // Then opened without waiting, so that a FIFO without a writer cannot hold us, and asked what
    // it is before any read: only a regular file is a palette; a device or a pipe could be read for
    // ever, whatever size it reports.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw unreachable(QString::fromLocal8Bit(std::strerror(errno)));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw unreachable(file.errorString());
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0)
        throw unreachable(QString::fromLocal8Bit(std::strerror(errno)));
    if (S_ISDIR(info.st_mode))
        throw unreachable(QStringLiteral("it is a folder"));
    if (!S_ISREG(info.st_mode))
        throw unreachable(QStringLiteral("not a regular file"));
    const auto tooLarge = [&] {
        return ExchangeError(ExchangeError::Malformed,
                             QStringLiteral("Nothing was imported from %1: at over %2 MiB it is "
                                            "no palette.")
                                 .arg(shown(path))
                                 .arg(maxFileBytes >> 20));
    };
    if (info.st_size > maxFileBytes)
        throw tooLarge();
    // The size read is bounded too: the file may grow while it is read.
    const QByteArray data = file.read(maxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw unreachable(file.errorString());
    if (data.size() > maxFileBytes)
        throw tooLarge();
    return read(data, path);
}

QString notice(const Imported &imported, const QString &path)
{
    if (imported.skipped == 0)
        return {};
    return QStringLiteral("Imported %1 of the colors of %2; %3 in color spaces Huebrook does not "
                          "read were left out.")
        .arg(imported.records.size())
        .arg(shown(path))
        .arg(imported.skipped);
}

} // namespace paletteexchange
