// KWin as this session's desktop: asked only when Qt runs on Wayland and KWin is on the bus.
#pragma once

class QWidget;

namespace kwindesktop {

// Has KWin put window back where it stood each time it is shown again, for as long as window
// lives, through a KWin script of its own. False where KWin is not the desktop or did not take
// the script.
bool keepPlace(QWidget &window);

} // namespace kwindesktop
