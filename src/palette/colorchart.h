// The palette as the main window shows it: the palette file, the swatch grid with its pages,
// the selection, and the commands of the Edit menu that change the file (Delete, Clean
// Duplicate, Undo, Redo, the named palettes, export and import).
#pragma once

#include "color/bascommon.h"
#include "paletteexchange.h"
#include "palettestore.h"

#include <QObject>
#include <QPoint>
#include <functional>
#include <limits>
#include <optional>

class PaletteGrid;
class PaletteHistory;
class PaletteStep;
class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMimeData;
class QWidget;

class ColorChart : public QObject
{
    Q_OBJECT
public:
    static constexpr int pageSize = 100;

    // Builds the heading and the swatch grid on the window, as designed. store is the default
    // palette; its folder holds the named ones.
    ColorChart(PaletteStore store, QWidget *window);
    ~ColorChart() override;

    // Adds the palette's items to the Edit menu, after the copy submenu; Undo and Redo also
    // to the window, for their shortcuts.
    void addMenuItems(QMenu *edit, QWidget *window);
    // The preview's menu hides them.
    void setMenuItemsVisible(bool visible);

    // Reloads the grid's page from the palette file curChartfile, in the palette's folder.
    void ShowColorChart(const QString &curChartfile);
    // Frames swatch index (0 is the newest color of the page) and reports its color with
    // selected().
    void select(int index);
    // Back to the first page, with the newest color selected.
    void reloadAndSelectNewest();
    // The frame goes when the current color leaves the selected one.
    void currentColorChanging(Color color);
    // Appends a picked color as the newest record of palette (the one in view when empty), as
    // a step that can be undone; false, said with failed(), when it could not.
    bool append(Color color, const QString &palette = {});

    void mnuDelCor_Click();
    void mnuCleanDup_Click();
    void mnuExport_Click();
    void mnuImport_Click();
    // Appends the colors of the palette file at path, whatever its format, then selects the
    // newest color; a failure, or colors left out, are said with failed().
    void importPalette(const QString &path);
    // The same into palette (the one in view when empty), throwing
    // paletteexchange::ExchangeError or PaletteError when nothing was imported.
    paletteexchange::Imported importFrom(const QString &path, const QString &palette = {});
    // The palettes among dropped files, by their names.
    static QStringList droppedPalettes(const QMimeData *mime);
    // The export dialog's filters, one per format, and the import dialog's one.
    static QStringList exportFilters();
    static QString importFilter();

    // Shows the palette name, and acts on it from then on; false, said with failed(), for a
    // bad name. Reports paletteChanged.
    bool usePalette(const QString &name);
    void mnuNewPalette_Click();
    void mnuRenamePalette_Click();
    void mnuRemovePalette_Click();
    // Turns to page (0 the newest hundred), as far as there are records.
    void showPage(qint64 page);

    // Asks for a file to save to (saving) or to open, with a suggested name; filter is the
    // dialog's filter to start with, and the one chosen after. Empty when the user cancels. A
    // QFileDialog unless a test replaces it.
    std::function<QString(bool saving, const QString &suggestion, QString *filter)> chooseFile;
    // Asks for a palette's name, with a title and a name to start from; nothing when the user
    // cancels. A QInputDialog unless a test replaces it.
    std::function<std::optional<QString>(const QString &title, const QString &name)> askName;
    // Asks a yes or no question; a QMessageBox unless a test replaces it.
    std::function<bool(const QString &question)> confirm;

    Color selColor() const { return SelColor; }
    int32_t chartCount() const
    {
        return static_cast<int32_t>(std::min<qint64>(m_count, std::numeric_limits<int32_t>::max()));
    }
    int32_t chartSelRecord() const { return m_chartSelRecord; }
    const PaletteStore &store() const { return m_store; }
    const QString &paletteName() const { return m_name; }
    qint64 page() const { return m_page; }
    // The heading's whole text, which the label cuts where it has no room.
    const QString &caption() const { return m_caption; }
    PaletteHistory *history() const { return m_history; }

signals:
    void selected(Color color);
    // A button released over swatch index (1 left, 2 right, 4 middle).
    void swatchReleased(int index, int button);
    void failed(const QString &message);
    // The palette in view is another one, or the same under a new name.
    void paletteChanged(const QString &name);

private:
    // The store of palette, the one in view when empty; throws PaletteError for a bad name.
    PaletteStore storeOf(const QString &palette) const;
    // Makes step on store, keeping it for undo; false, said with failed(), when it failed.
    bool make(const PaletteStore &store, std::unique_ptr<PaletteStep> step);
    void showCaption();
    void fillPalettesMenu();

    PaletteStore m_store;
    QString m_name;
    PaletteGrid *m_grid = nullptr;
    PaletteHistory *m_history = nullptr;
    QLabel *m_heading = nullptr;
    Color SelColor = 0;
    int32_t m_chartSelRecord = 0;
    qint64 m_count = 0; // every whole record of the last load; chartCount as the grid knows it
    qint64 m_page = 0;
    QString m_caption;

    QAction *editsep3 = nullptr;
    QAction *mnuDelCor = nullptr;
    QAction *mnuCleanDup = nullptr;
    QAction *mnuUndo = nullptr;
    QAction *mnuRedo = nullptr;
    QMenu *mnuPalettes = nullptr;
    QAction *mnuNewPalette = nullptr;
    QAction *mnuRenamePalette = nullptr;
    QAction *mnuRemovePalette = nullptr;
    QAction *editsep4 = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuImport = nullptr;
};
