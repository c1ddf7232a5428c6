// The palette to and from other programs' files: which formats there are, which one a file name
// or a file's content names, and exporting and importing a palette file.
#pragma once

#include "chartrecord.h"
#include "palettestore.h"

#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

namespace paletteexchange {

enum class Format { Gimp, AdobeSwatches, PhotoshopSwatches, Krita, LibreOffice, Css };

struct FormatInfo
{
    Format format;
    QString extension;   // without the dot
    QString description; // "Adobe Swatch Exchange"
    bool readable;       // CSS is written only
};

// In the order the export dialog offers them, GIMP's first.
const std::vector<FormatInfo> &formats();
const FormatInfo &info(Format format);
// "Krita palette (*.kpl)"
QString dialogFilter(const FormatInfo &format);
// The format a file name's extension names, in any case; nothing for any other name.
std::optional<Format> formatOfName(const QString &path);

// A file beside the palette that cannot be had: one that cannot be read or written
// (Unreachable), or one that is no palette Huebrook reads (Malformed). The message names the
// file and the reason.
// A PaletteError, so that every failure is caught and said in one way.
class ExchangeError : public PaletteError
{
public:
    enum Kind { Unreachable, Malformed };
    ExchangeError(Kind why, const QString &sentence) : PaletteError(sentence), kind(why) {}
    Kind kind;
};

// Files larger than this are no palette anyone made.
inline constexpr qint64 maxFileBytes = 256LL * 1024 * 1024;

// records, oldest first, as a file of format; name is the palette's name where it has one.
// Throws ExchangeError when format cannot hold them.
QByteArray write(Format format, const std::vector<ChartRecord> &records, const QString &name,
                 const QString &path);

struct Imported
{
    std::vector<ChartRecord> records;
    int skipped = 0; // entries in color spaces no conversion here reads
    Format format = Format::Gimp;
};

// The colors of a file in any readable format, recognised by its content. Throws
// ExchangeError(Malformed) naming path.
Imported read(const QByteArray &data, const QString &path);

// Writes the whole palette to path in format, replacing any file there whole or not at all.
// Throws PaletteError when the palette cannot be read, ExchangeError when path cannot be written.
void exportTo(const PaletteStore &store, const QString &path, Format format);

// Reads the colors of the palette file at path. Throws ExchangeError.
Imported readFrom(const QString &path);

// Reads path and appends its colors to the palette in one write: all of them, or none.
// Throws ExchangeError for the file, PaletteError for the palette.
Imported importFrom(const PaletteStore &store, const QString &path);

// What the user is told of an import that passed over entries; empty when none were.
QString notice(const Imported &imported, const QString &path);

} // namespace paletteexchange
