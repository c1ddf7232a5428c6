// Keeping a window above all normal windows.
#include "settopmost.h"

#include <QWidget>

namespace bascommon {

void SetTopMost(QWidget &window)
{
    const bool wasVisible = window.isVisible();
    window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (wasVisible)
        window.show();
}

} // namespace bascommon
