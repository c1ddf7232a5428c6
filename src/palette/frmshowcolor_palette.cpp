// The main window's palette: loading the grid, selecting a swatch, Delete and Clean Duplicate.
#include "app/frmshowcolor.h"

#include "color/colorlabel.h"
#include "paletteedit.h"
#include "palettegrid.h"

#include <QAction>
#include <QCursor>
#include <QMenu>
#include <limits>

void frmshowcolor::ShowColorChart(const QString &curChartfile, int &page)
{
    page = 1;
    m_grid->hideFrame();
    mnuDelCor->setEnabled(false);
    qint64 count = 0;
    std::vector<ChartRecord> records;
    try {
        records = m_store.readNewest(curChartfile, PaletteGrid::swatchCount, &count);
    } catch (const PaletteError &error) {
        // Nothing is shown and nothing can be deleted; the file itself stays as it is.
        reportError(error.message());
        count = 0;
        records.clear();
    }
    m_chartCount =
        static_cast<int32_t>(std::min<qint64>(count, std::numeric_limits<int32_t>::max()));
    m_grid->showRecords(std::move(records));
}

void frmshowcolor::lblcor_MouseUp(int16_t Index, int16_t Button, int16_t, float, float)
{
    m_chartSelRecord = m_chartCount - Index;
    mnuDelCor->setEnabled(Index + 1 <= m_chartCount);
    m_grid->frameSwatch(Index);
    // Set before the call, so that CurrentColorChanged keeps the frame it would otherwise hide.
    SelColor = m_grid->swatchColor(Index);
    CurrentColorChanged(SelColor);
    if (Button == 2) {
        ChangeCopyMenu();
        mnuEdit->exec(QCursor::pos());
    }
}

void frmshowcolor::mnuDelCor_Click()
{
    const ChartRecord *selected = m_grid->record(m_chartCount - m_chartSelRecord);
    try {
        if (!selected || !paletteedit::deleteRecord(m_store, m_chartSelRecord, *selected))
            reportError(QStringLiteral("The color was not deleted: another program changed the "
                                       "palette file %1. The palette has been reloaded.")
                            .arg(m_store.path(paletteedit::paletteName)));
    } catch (const PaletteError &error) {
        reportError(error.message());
    }
    int page = 1;
    ShowColorChart(paletteedit::paletteName, page);
}

void frmshowcolor::mnuCleanDup_Click()
{
    if (m_chartCount < 2)
        return;
    try {
        paletteedit::cleanDuplicates(m_store);
    } catch (const PaletteError &error) {
        reportError(error.message());
    }
    int page = 1;
    ShowColorChart(paletteedit::paletteName, page);
}
