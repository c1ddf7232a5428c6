// The palette as the main window shows it: the heading and grid, loading, selecting, appending,
// Delete and Clean Duplicate.
#include "colorchart.h"

#include "paletteedit.h"
#include "palettegrid.h"
#include "ui/colorlabel.h"
#include "ui/designunits.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <limits>

using designunits::designFont;
using designunits::twipRect;

namespace {

QLabel *makeHeading(QWidget *window, const char *name, const QString &text, QRect geometry)
{
    return designunits::makeLabel(window, name, text, geometry,
                                  designFont(QStringLiteral("Tahoma"), 8.25, true));
}

QAction *addItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = text.isEmpty() ? menu->addSeparator() : menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

// The save dialog, whose name follows the format chosen: "Huebrook.gpl" becomes "Huebrook.kpl"
// when Krita's filter is chosen, as the name decides the format in the end.
QString chooseExportFile(QWidget *window, const QString &suggestion, QString *filter)
{
    QFileDialog dialog(window, QStringLiteral("Export Palette"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(ColorChart::exportFilters());
    dialog.selectNameFilter(*filter);
    dialog.selectFile(suggestion);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &chosen) {
                         // Qt's own dialog shows the name in this line edit; a desktop's dialog
                         // does this itself.
                         auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                         const qsizetype star = chosen.lastIndexOf(QLatin1String("*."));
                         if (!name || star < 0)
                             return;
                         const QString extension = chosen.mid(star + 1).chopped(1);
                         const QFileInfo typed(name->text());
                         if (!typed.completeBaseName().isEmpty())
                             name->setText(typed.completeBaseName() + extension);
                     });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    *filter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}

} // namespace

ColorChart::ColorChart(PaletteStore store, QWidget *window)
    : QObject(window), m_store(std::move(store))
{
    designunits::fillBackground(
        makeHeading(window, "Label1", QString(), twipRect(75, 2190, 2610, 300)),
        QColor(172, 168, 153));
    QLabel *heading = makeHeading(window, "Label3", QStringLiteral("Color Palette"),
                                  twipRect(105, 2235, 2115, 270));
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::WindowText, QColor(22, 22, 18));
    heading->setPalette(headingPalette);

    auto *templateSwatch = new ColorLabel(window);
    templateSwatch->setObjectName(QStringLiteral("lblcor(0)"));
    templateSwatch->setGeometry(twipRect(90, 2550, 270, 270));
    templateSwatch->setFont(designFont(QStringLiteral("Arial"), 9));
    templateSwatch->setBordered(true);
    templateSwatch->hide();
    m_grid = new PaletteGrid(templateSwatch, twipRect(600, 2670, 360, 300), window);
    connect(m_grid, &PaletteGrid::released, this, &ColorChart::swatchReleased);
    m_grid->build();
    chooseFile = [window](bool saving, const QString &suggestion, QString *filter) {
        if (saving)
            return chooseExportFile(window, suggestion, filter);
        // Any file: its content says what it is.
        return QFileDialog::getOpenFileName(window, QStringLiteral("Import Palette"), suggestion,
                                            importFilter() + QStringLiteral(";;All files (*)"),
                                            filter);
    };
}

ColorChart::~ColorChart() = default;

void ColorChart::addMenuItems(QMenu *edit)
{
    editsep3 = addItem(edit, "editsep3", {});
    mnuDelCor = addItem(edit, "mnuDelCor", QStringLiteral("&Delete"));
    connect(mnuDelCor, &QAction::triggered, this, &ColorChart::mnuDelCor_Click);
    mnuCleanDup = addItem(edit, "mnuCleanDup", QStringLiteral("Clean Duplicate"));
    connect(mnuCleanDup, &QAction::triggered, this, &ColorChart::mnuCleanDup_Click);
    editsep4 = addItem(edit, "editsep4", {});
    mnuExport = addItem(edit, "mnuExport", QStringLiteral("Export Palette..."));
    connect(mnuExport, &QAction::triggered, this, &ColorChart::mnuExport_Click);
    mnuImport = addItem(edit, "mnuImport", QStringLiteral("Import Palette..."));
    connect(mnuImport, &QAction::triggered, this, &ColorChart::mnuImport_Click);
}

void ColorChart::setMenuItemsVisible(bool visible)
{
    for (QAction *item : {mnuDelCor, mnuCleanDup, editsep3, editsep4, mnuExport, mnuImport})
        item->setVisible(visible);
}

void ColorChart::ShowColorChart(const QString &curChartfile)
{
    m_grid->hideFrame();
    mnuDelCor->setEnabled(false);
    qint64 count = 0;
    std::vector<ChartRecord> records;
    try {
        records = PaletteStore(m_store.folder(), curChartfile)
                      .readNewest(PaletteGrid::swatchCount, &count);
    } catch (const PaletteError &error) {
        // Nothing is shown and nothing can be deleted; the file itself stays as it is.
        emit failed(error.message());
        count = 0;
        records.clear();
    }
    m_chartCount =
        static_cast<int32_t>(std::min<qint64>(count, std::numeric_limits<int32_t>::max()));
    m_grid->showRecords(std::move(records));
}

void ColorChart::select(int index)
{
    m_chartSelRecord = m_chartCount - index;
    mnuDelCor->setEnabled(index + 1 <= m_chartCount);
    m_grid->frameSwatch(index);
    // Set before the color is reported, so that the change keeps the frame it would otherwise
    // hide.
    SelColor = m_grid->swatchColor(index);
    emit selected(SelColor);
}

void ColorChart::reloadAndSelectNewest()
{
    ShowColorChart(paletteFileName);
    select(0);
}

void ColorChart::currentColorChanging(Color color)
{
    if (color != SelColor) {
        m_grid->hideFrame();
        mnuDelCor->setEnabled(false);
    }
}

bool ColorChart::append(Color color)
{
    try {
        m_store.AppendChartColor(bascommon::ColorToHex(color));
    } catch (const PaletteError &error) {
        emit failed(error.message());
        return false;
    }
    return true;
}

void ColorChart::mnuDelCor_Click()
{
    const ChartRecord *selected = m_grid->record(m_chartCount - m_chartSelRecord);
    try {
        if (!selected || !paletteedit::deleteRecord(m_store, m_chartSelRecord, *selected))
            emit failed(QStringLiteral("The color was not deleted: another program changed the "
                                       "palette file %1. The palette has been reloaded.")
                            .arg(m_store.path()));
    } catch (const PaletteError &error) {
        emit failed(error.message());
    }
    ShowColorChart(paletteFileName);
}

void ColorChart::mnuCleanDup_Click()
{
    if (m_chartCount < 2)
        return;
    try {
        paletteedit::cleanDuplicates(m_store);
    } catch (const PaletteError &error) {
        emit failed(error.message());
    }
    ShowColorChart(paletteFileName);
}
