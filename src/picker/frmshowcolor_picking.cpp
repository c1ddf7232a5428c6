// The main window's side of picking: hiding itself, starting the frozen screen, taking each
// picked color, and coming back with the palette reloaded.
#include "app/frmshowcolor.h"

#include "frmGetColor.h"
#include "palette/paletteedit.h"

#include <QCoreApplication>

void frmshowcolor::mnustartpick_Click()
{
    if (m_picker)
        return;
    hide();
    QCoreApplication::processEvents();
    m_picker = new frmGetColor(m_store);
    connect(m_picker, &frmGetColor::colorPicked, this, &frmshowcolor::CurrentColorChanged);
    connect(m_picker, &frmGetColor::failed, this, &frmshowcolor::reportError);
    connect(m_picker, &frmGetColor::finished, this, &frmshowcolor::endPicking);
    if (!m_picker->Form_Load()) {
        // Without a capture the window would show its own background, and every pick would
        // report that instead of the screen.
        delete m_picker;
        m_picker = nullptr;
        show();
        reportError(QStringLiteral("The screen could not be captured, so no color can be picked "
                                   "from it. Screen capture needs an X11 session."));
    }
}

void frmshowcolor::endPicking()
{
    // Deleted later: the picking window's own event handler is still running.
    m_picker->deleteLater();
    m_picker = nullptr;
    show();
    int page = 1;
    ShowColorChart(paletteedit::paletteName, page);
    lblcor_MouseUp(0, 1, 0, 0, 0);
}
