// Keeping a window above all normal windows without moving or sizing it.
#pragma once

class QWidget;

namespace bascommon {
// Call before the window is first shown: changing the flag of a visible window hides it.
void SetTopMost(QWidget &window);
} // namespace bascommon
