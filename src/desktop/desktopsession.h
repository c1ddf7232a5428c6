// What kind of desktop session Huebrook runs in, asked in one place.
#pragma once

namespace desktopsession {

// Qt talks Wayland to the compositor (any of Qt's Wayland platform plugins).
bool qtOnWayland();
// KWin is on the session bus.
bool kwinOnBus();

} // namespace desktopsession
