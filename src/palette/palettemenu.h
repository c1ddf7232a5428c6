// The palette's commands as the main window offers them: its Edit menu items (Delete, Clean
// Duplicate, Undo, Redo), the Palettes submenu, export, import and dropped files, with their
// dialogs. Each asks PaletteDocument for the change; none changes a file itself.
#pragma once

#include <QObject>
#include <functional>
#include <optional>

class ColorChart;
class PaletteDocument;
class QAction;
class QMenu;
class QMimeData;
class QWidget;

class PaletteMenu : public QObject
{
    Q_OBJECT
public:
    // chart is read for the selection Delete takes and the count Clean Duplicate needs.
    PaletteMenu(PaletteDocument *document, const ColorChart *chart, QWidget *window);
    ~PaletteMenu() override;

    // Adds the items to the Edit menu, after the copy submenu; Undo and Redo also to the
    // window, for their shortcuts.
    void addMenuItems(QMenu *edit, QWidget *window);
    // The preview's menu hides them.
    void setMenuItemsVisible(bool visible);

    void mnuDelCor_Click();
    void mnuCleanDup_Click();
    void mnuExport_Click();
    void mnuImport_Click();
    void mnuNewPalette_Click();
    void mnuRenamePalette_Click();
    void mnuRemovePalette_Click();
    // Imports every palette among the dropped files; true when there was one.
    bool drop(const QMimeData *mime);

    // The palettes among dropped files, by their names.
    static QStringList droppedPalettes(const QMimeData *mime);
    // The export dialog's filters, one per format, and the import dialog's one.
    static QStringList exportFilters();
    static QString importFilter();

    // Asks for a file to save to (saving) or to open, with a suggested name; filter is the
    // dialog's filter to start with, and the one chosen after. Empty when the user cancels. A
    // QFileDialog unless a test replaces it.
    std::function<QString(bool saving, const QString &suggestion, QString *filter)> chooseFile;
    // Asks for a palette's name, with a title and a name to start from; nothing when the user
    // cancels. A QInputDialog unless a test replaces it.
    std::function<std::optional<QString>(const QString &title, const QString &name)> askName;
    // Asks a yes or no question; a QMessageBox unless a test replaces it.
    std::function<bool(const QString &question)> confirm;

private:
    void fillPalettesMenu();
    // What may change the palette now: nothing while a change is under way.
    void updateItems();

    PaletteDocument *m_document;
    const ColorChart *m_chart;

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
