// Palette exchange: exporting the palette as a GIMP palette and importing one, from the Edit
// menu or by dropping the file on the window.
#include "colorchart.h"

#include "gimppalette.h"
#include "paletteedit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSaveFile>
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

void ColorChart::mnuExport_Click()
{
    const QString path =
        chooseFile(true, QDir(startFolder()).filePath(QStringLiteral("Huebrook.gpl")));
    if (path.isEmpty())
        return;
    try {
        const QByteArray text =
            gimppalette::write(m_store.readAll(), QFileInfo(path).completeBaseName());
        // Beside the target first, then renamed over it: an old file is replaced whole or not
        // at all.
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            emit failed(QStringLiteral("Could not export the palette to %1: %2.")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    } catch (const PaletteError &error) {
        emit failed(error.message());
    }
}

void ColorChart::mnuImport_Click()
{
    const QString path = chooseFile(false, startFolder());
    if (!path.isEmpty())
        importPalette(path);
}

void ColorChart::importPalette(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        emit failed(
            QStringLiteral("Could not import the palette %1: %2.").arg(shown, file.errorString()));
        return;
    }
    const QByteArray contents = file.readAll();
    try {
        m_store.appendRecords(gimppalette::read(contents));
    } catch (const gimppalette::FormatError &error) {
        emit failed(QStringLiteral("Nothing was imported from %1: line %2 %3.")
                        .arg(shown)
                        .arg(error.line)
                        .arg(error.reason));
        return;
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return;
    }
    reloadAndSelectNewest();
}

QStringList ColorChart::droppedPalettes(const QMimeData *mime)
{
    QStringList paths;
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile() &&
            url.fileName().endsWith(QLatin1String(".gpl"), Qt::CaseInsensitive))
            paths << url.toLocalFile();
    return paths;
}
