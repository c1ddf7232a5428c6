// The main window's side of picking: checking that the screen can be captured, hiding itself,
// starting the frozen screen, taking each picked color, and coming back with the palette
// reloaded.
#include "app/frmshowcolor.h"

#include "frmGetColor.h"
#include "palette/paletteedit.h"

#include <QCoreApplication>

void frmshowcolor::mnustartpick_Click()
{
    // Also while a capture is still on its way.
    if (m_picker)
        return;
    m_picker = new frmGetColor(m_store);
    connect(m_picker, &frmGetColor::colorPicked, this, &frmshowcolor::CurrentColorChanged);
    connect(m_picker, &frmGetColor::failed, this, &frmshowcolor::reportError);
    connect(m_picker, &frmGetColor::finished, this, &frmshowcolor::endPicking);
    connect(m_picker, &frmGetColor::readyToCapture, this, [this] {
        // Hidden before the capture, and until the picture arrives, so it is never in it.
        hide();
        QCoreApplication::processEvents();
        m_picker->Form_Load();
    });
    connect(m_picker, &frmGetColor::notStarted, this, [this](const QString &reason) {
        // Without a capture the window would show its own background, and every pick would
        // report that instead of the screen.
        m_picker->deleteLater();
        m_picker = nullptr;
        show();
        reportError(reason);
    });
    m_picker->prepare();
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
