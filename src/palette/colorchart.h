// The palette as the main window shows it: the palette file, the swatch grid, the selection,
// and the commands of the Edit menu that change the file (Delete, Clean Duplicate, export and
// import).
#pragma once

#include "color/bascommon.h"
#include "paletteexchange.h"
#include "palettestore.h"

#include <QObject>
#include <QPoint>
#include <functional>

class PaletteGrid;
class QAction;
class QMenu;
class QMimeData;
class QWidget;

class ColorChart : public QObject
{
    Q_OBJECT
public:
    // Builds the heading and the swatch grid on the window, as designed.
    ColorChart(PaletteStore store, QWidget *window);
    ~ColorChart() override;

    // Adds the palette's items to the Edit menu, after the copy submenu.
    void addMenuItems(QMenu *edit);
    // The preview's menu hides them.
    void setMenuItemsVisible(bool visible);

    // Reloads the grid from the palette file curChartfile, in the palette's folder.
    void ShowColorChart(const QString &curChartfile);
    // Frames swatch index (0 is the newest color) and reports its color with selected().
    void select(int index);
    void reloadAndSelectNewest();
    // The frame goes when the current color leaves the selected one.
    void currentColorChanging(Color color);
    // Appends a picked color as the newest record; false, said with failed(), when it could not.
    bool append(Color color);

    void mnuDelCor_Click();
    void mnuCleanDup_Click();
    void mnuExport_Click();
    void mnuImport_Click();
    // Appends the colors of the palette file at path, whatever its format, then selects the
    // newest color; a failure, or colors left out, are said with failed().
    void importPalette(const QString &path);
    // The same, throwing paletteexchange::ExchangeError or PaletteError when nothing was
    // imported.
    paletteexchange::Imported importFrom(const QString &path);
    // The palettes among dropped files, by their names.
    static QStringList droppedPalettes(const QMimeData *mime);
    // The export dialog's filters, one per format, and the import dialog's one.
    static QStringList exportFilters();
    static QString importFilter();

    // Asks for a file to save to (saving) or to open, with a suggested name; filter is the
    // dialog's filter to start with, and the one chosen after. Empty when the user cancels. A
    // QFileDialog unless a test replaces it.
    std::function<QString(bool saving, const QString &suggestion, QString *filter)> chooseFile;

    Color selColor() const { return SelColor; }
    int32_t chartCount() const { return m_chartCount; }
    int32_t chartSelRecord() const { return m_chartSelRecord; }
    const PaletteStore &store() const { return m_store; }

signals:
    void selected(Color color);
    // A button released over swatch index (1 left, 2 right, 4 middle).
    void swatchReleased(int index, int button);
    void failed(const QString &message);

private:
    PaletteStore m_store;
    PaletteGrid *m_grid = nullptr;
    Color SelColor = 0;
    int32_t m_chartCount = 0;
    int32_t m_chartSelRecord = 0;

    QAction *editsep3 = nullptr;
    QAction *mnuDelCor = nullptr;
    QAction *mnuCleanDup = nullptr;
    QAction *editsep4 = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuImport = nullptr;
};
