// KWin as this session's desktop: asked only when Qt runs on Wayland and KWin is on the bus.
#pragma once

#include <functional>

class QWidget;

namespace kwindesktop {

// Has KWin put window back where it stood each time it is shown again, for as long as window
// lives, through a KWin script of its own. then learns, in the event loop, whether KWin runs the
// script: false where KWin is not the desktop or did not take it.
void keepPlace(QWidget &window, std::function<void(bool)> then);

} // namespace kwindesktop
