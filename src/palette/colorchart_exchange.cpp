// Palette exchange from the window: exporting the palette in any format of paletteexchange and
// importing any readable one, from the Edit menu or by dropping the file on the window.
#include "colorchart.h"

#include "paletteexchange.h"
#include "palettehistory.h"

#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QStandardPaths>
#include <QUrl>

namespace {

// Where the file dialogs open: the user's documents, or home when there is no such folder.
QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QDir(documents).exists() ? documents : QDir::homePath();
}

} // namespace

QStringList ColorChart::exportFilters()
{
    QStringList filters;
    for (const paletteexchange::FormatInfo &format : paletteexchange::formats())
        filters << paletteexchange::dialogFilter(format);
    return filters;
}

QString ColorChart::importFilter()
{
    QStringList patterns;
    for (const paletteexchange::FormatInfo &format : paletteexchange::formats())
        if (format.readable)
            patterns << QStringLiteral("*.") + format.extension;
    return QStringLiteral("Palettes (%1)").arg(patterns.join(QLatin1Char(' ')));
}

void ColorChart::mnuExport_Click()
{
    QString filter = exportFilters().constFirst();
    QString path =
        chooseFile(true, QDir(startFolder()).filePath(QStringLiteral("Huebrook.gpl")), &filter);
    if (path.isEmpty())
        return;
    // A name that says a format of ours keeps it; otherwise the filter chosen decides, and
    // gives a bare name its extension.
    std::optional<paletteexchange::Format> format = paletteexchange::formatOfName(path);
    if (!format) {
        const qsizetype index = exportFilters().indexOf(filter);
        const paletteexchange::FormatInfo &chosen =
            paletteexchange::formats()[static_cast<size_t>(std::max<qsizetype>(index, 0))];
        format = chosen.format;
        if (QFileInfo(path).suffix().isEmpty())
            path += QLatin1Char('.') + chosen.extension;
    }
    try {
        paletteexchange::exportTo(m_store, path, *format);
    } catch (const paletteexchange::ExchangeError &error) {
        emit failed(error.message);
    } catch (const PaletteError &error) {
        emit failed(error.message());
    }
}

void ColorChart::mnuImport_Click()
{
    QString filter = importFilter();
    const QString path = chooseFile(false, startFolder(), &filter);
    if (!path.isEmpty())
        importPalette(path);
}

paletteexchange::Imported ColorChart::importFrom(const QString &path, const QString &palette)
{
    const PaletteStore store = storeOf(palette);
    paletteexchange::Imported imported = paletteexchange::readFrom(path);
    m_history->make(store, palettesteps::append(QStringLiteral("Import"), imported.records));
    if (store.fileName() == m_store.fileName())
        reloadAndSelectNewest();
    return imported;
}

void ColorChart::importPalette(const QString &path)
{
    try {
        const paletteexchange::Imported imported = importFrom(path);
        if (const QString notice = paletteexchange::notice(imported, path); !notice.isEmpty())
            emit failed(notice);
    } catch (const paletteexchange::ExchangeError &error) {
        emit failed(error.message);
    } catch (const PaletteError &error) {
        emit failed(error.message());
    }
}

QStringList ColorChart::droppedPalettes(const QMimeData *mime)
{
    QStringList paths;
    for (const QUrl &url : mime->urls()) {
        if (!url.isLocalFile())
            continue;
        const std::optional<paletteexchange::Format> format =
            paletteexchange::formatOfName(url.fileName());
        if (format && paletteexchange::info(*format).readable)
            paths << url.toLocalFile();
    }
    return paths;
}
