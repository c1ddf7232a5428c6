// The main window: the eyedropper, About and web images above the current color editor and the
// palette chart, and the wiring between them and a picking session.
#pragma once

#include "color/bascommon.h"
#include "palette/palettestore.h"
#include "positionsettings.h"

#include <QWidget>
#include <functional>
#include <optional>

class ColorChart;
class ColorEditor;
class PickingSession;
class QMenu;
class ScreenCapture;
class WindowHome;

class frmshowcolor : public QWidget
{
    Q_OBJECT
public:
    // reporter receives messages for the user, already during creation; a message box when empty.
    frmshowcolor(PaletteStore store, PositionSettings settings,
                 std::function<void(const QString &)> reporter = {});
    ~frmshowcolor() override;

    void CurrentColorChanged(Color color);
    void ChangeCopyMenu();
    void ShowColorChart(const QString &curChartfile, int &page);
    // Selects swatch Index (0 is the newest color); the right button (2) opens the Edit menu.
    void lblcor_MouseUp(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);
    void mnustartpick_Click();
    // Picking asked for from the command line or by a later start: from the pixel under the
    // pointer. With done, picking ends after the first pick, done gets its color (or nothing and
    // why), and the main window returns only if it showed before. False when already picking.
    using PickDone = std::function<void(std::optional<Color> color, const QString &reason)>;
    bool pickFromCommand(PickDone done = {});
    void mnuabout_Click();
    void mnuWeb_Click();

    ColorEditor *colorEditor() const { return m_editor; }
    ColorChart *colorChart() const { return m_chart; }
    // The picking under way, from the eyedropper's click until it ends.
    PickingSession *picking() const { return m_picking; }
    // Where picking gets the screen; the session's backend for this desktop unless replaced.
    std::function<ScreenCapture *()> createCapture;

    Color curColor() const;
    Color selColor() const;
    int32_t chartCount() const;
    int32_t chartSelRecord() const;

    void reportError(const QString &message);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildImages();
    void buildMenus();
    void Form_Load();
    void Form_Unload();
    void restorePosition();
    void lblcolor_MouseUp(int button, QPoint globalPosition);
    bool startPicking(bool atPointer);
    void takePick(Color color);
    void endPicking();
    void showAgain();

    PositionSettings m_settings;
    std::function<void(const QString &)> m_reporter;
    ColorEditor *m_editor = nullptr;
    ColorChart *m_chart = nullptr;
    QMenu *mnuEdit = nullptr;
    PickingSession *m_picking = nullptr;
    WindowHome *m_home = nullptr;
    PickDone m_pickDone;       // picking that ends after its first pick
    bool m_shownBefore = true; // whether the main window returns when picking ends
};
