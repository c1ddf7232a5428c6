// The main window: the current color with its readouts and sliders, the palette grid, and the
// image buttons that start picking, show the About box and open the maker's page.
#pragma once

#include "color/bascommon.h"
#include "palette/palettestore.h"
#include "positionsettings.h"

#include <QWidget>
#include <functional>

class ColorLabel;
class PaletteGrid;
class QAction;
class QLineEdit;
class QMenu;
class QScrollBar;
class frmGetColor;

class frmshowcolor : public QWidget
{
    Q_OBJECT
public:
    // reporter receives messages for the user, already during creation; a message box when empty.
    frmshowcolor(PaletteStore store, PositionSettings settings,
                 std::function<void(const QString &)> reporter = {});
    ~frmshowcolor() override;

    // The single way to change the current color.
    void CurrentColorChanged(Color color);
    void rgbslider();
    void ChangeCopyMenu();

    // Reloads the grid from the palette file; page is set to 1, the only page there is.
    void ShowColorChart(const QString &curChartfile, int &page);
    // Selects swatch Index (0 is the newest color); the right button (2) opens the Edit menu.
    void lblcor_MouseUp(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);

    void mnuDelCor_Click();
    void mnuCleanDup_Click();
    void mnuExport_Click();
    void mnuImport_Click();
    // Appends the colors of the GIMP palette at path, then selects the newest color.
    void importPalette(const QString &path);

    // Asks for a file to save to (saving) or to open, with a suggested name; empty when the user
    // cancels. A QFileDialog unless a test replaces it.
    std::function<QString(bool saving, const QString &suggestion)> chooseFile;
    void mnustartpick_Click();
    void mnuabout_Click();
    void mnuWeb_Click();

    Color curColor() const { return CurColor; }
    Color selColor() const { return SelColor; }
    int32_t chartCount() const { return m_chartCount; }
    int32_t chartSelRecord() const { return m_chartSelRecord; }
    const PaletteStore &store() const { return m_store; }

    void reportError(const QString &message);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildDesign();
    void buildMenus();
    void Form_Load();
    void Form_Unload();
    void restorePosition();
    void lblcolor_MouseUp(int button, QPoint globalPosition);
    void scrollChanged(QScrollBar *scroll, QLineEdit *field);
    void showComponents(Color color);
    void copyFormat(int format);
    void endPicking();

    PaletteStore m_store;
    PositionSettings m_settings;
    std::function<void(const QString &)> m_reporter;

    Color CurColor = 0xFFFFFF;
    Color SelColor = 0;
    int32_t m_chartCount = 0;
    int32_t m_chartSelRecord = 0;

    ColorLabel *lblcolor = nullptr;
    QLineEdit *txtrgb = nullptr;
    QLineEdit *txtrgb1 = nullptr;
    QLineEdit *rtxt = nullptr;
    QLineEdit *gtxt = nullptr;
    QLineEdit *btxt = nullptr;
    QScrollBar *RScroll = nullptr;
    QScrollBar *GScroll = nullptr;
    QScrollBar *BScroll = nullptr;
    PaletteGrid *m_grid = nullptr;

    QMenu *mnuEdit = nullptr;
    QMenu *mnuTool = nullptr;
    QMenu *mnuhelp = nullptr;
    QAction *editsep3 = nullptr;
    QAction *mnuDelCor = nullptr;
    QAction *mnuCleanDup = nullptr;
    QAction *editsep4 = nullptr;
    QAction *mnuExport = nullptr;
    QAction *mnuImport = nullptr;
    QAction *mnuCopy[7] = {};

    frmGetColor *m_picker = nullptr;
};
