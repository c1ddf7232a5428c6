// The main window: the eyedropper, About and web images above the current color editor and the
// palette chart, and the wiring between them and a picking session.
#pragma once

#include "color/bascommon.h"
#include "palette/palettedocument.h"
#include "palette/palettelibrary.h"
#include "palette/palettestore.h"
#include "picker/samplesettings.h"
#include "pickingrun.h"
#include "positionsettings.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class ColorChart;
class ColorEditor;
class CopyMenu;
class PaletteMenu;
class frmdetails;
class frmpreferences;
class RootKeyGrab;
class PickingSession;
class QMenu;
class QMessageBox;
class ScreenCapture;
class WindowHome;

class frmshowcolor : public QWidget, private PickingRun::Window
{
    Q_OBJECT
public:
    // reporter receives messages for the user, already during creation; a message box when empty.
    frmshowcolor(PaletteStore store, PositionSettings settings,
                 std::function<void(const QString &)> reporter = {});
    ~frmshowcolor() override;

    void CurrentColorChanged(Color color);
    void ChangeCopyMenu();
    void ShowColorChart(const QString &curChartfile);
    // Selects swatch Index (0 is the newest color); the right button (2) opens the Edit menu.
    void lblcor_MouseUp(int16_t Index, int16_t Button, int16_t Shift, float X, float Y);
    void mnustartpick_Click();
    // Picking asked for from the command line or by a later start: from the pixel under the
    // pointer, with the sample size given, or the kept one for 0. With once, picking ends after
    // the first pick and once gets its color, or nothing and why, exactly once. The picks go to
    // the palette named, or the one in view when empty. False, and once is not called, when
    // already picking.
    // view names the deficiency the frozen screen starts showing; with copyAs, a single pick
    // also goes on the clipboard in that format.
    bool pickFromCommand(PickingRun::Answer once = {}, int sample = 0, const QString &palette = {},
                         const QString &view = {}, const QString &copyAs = {});
    void mnuabout_Click();
    void mnuWeb_Click();
    // Opens Color Details, or brings it forward.
    void mnuDetails_Click();
    // Opens Preferences, or brings it forward.
    void mnuPreferences_Click();
    // The shortcut from anywhere this Huebrook grabs on plain X11; its pressed asks for a pick.
    RootKeyGrab *shortcutKey() const { return m_shortcutKey; }

    // The palette name in view from then on, after what was asked before.
    void usePalette(const QString &name);
    // Imports the palette file at path into palette (the one in view when empty); done gets
    // the outcome, which is otherwise said in the window.
    void importPalette(const QString &path, const QString &palette,
                       PaletteDocument::ImportDone done);
    // The picking under way, from the eyedropper's click until it ends.
    PickingSession *picking() const;
    // Where picking gets the screen; the session's backend for this desktop unless replaced.
    std::function<ScreenCapture *()> createCapture;

    Color curColor() const;
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
    // The Edit menu at the pointer, with the palette's items.
    void openEditMenu();
    bool startPicking(PickingRun::Request request, const QString &palette = {},
                      const QString &copyAs = {});
    // Shows a pick and asks for it in palette; kept then says whether it is there.
    void takePick(Color color, const QString &palette, std::function<void(bool)> kept);
    // What a picking run needs of this window.
    bool isShown() const override;
    void hideForCapture() override;
    void showAgain() override;
    void releaseRun();
    void showNextMessage();

    PositionSettings m_settings;
    SampleSettings m_samples;
    PaletteSettings m_palettes;
    std::function<void(const QString &)> m_reporter;
    ColorEditor *m_editor = nullptr;
    CopyMenu *m_copy = nullptr;
    PaletteDocument *m_document = nullptr;
    ColorChart *m_chart = nullptr;
    PaletteMenu *m_paletteMenu = nullptr;
    QMenu *mnuEdit = nullptr;
    QAction *mnuDetails = nullptr;
    QAction *mnuPreferences = nullptr;
    frmdetails *m_details = nullptr;
    frmpreferences *m_preferences = nullptr;
    RootKeyGrab *m_shortcutKey = nullptr;
    PickingRun *m_run = nullptr;
    QStringList m_heldErrors; // said when picking ends
    QStringList m_messages;   // waiting for the message box on the screen to close
    QPointer<QMessageBox> m_messageBox;
    WindowHome *m_home = nullptr;
};
