// A key combination as the desktops write it: from Qt's portable text ("Meta+Shift+C") to
// GNOME's accelerators, sway's bindsym, KDE's key codes and the X keysym with its modifiers.
#pragma once

#include <QString>
#include <Qt>
#include <optional>

namespace shortcutkeys {

struct Keys
{
    bool meta = false;
    bool control = false;
    bool alt = false;
    bool shift = false;
    Qt::Key key = Qt::Key_unknown; // never a modifier
    bool operator==(const Keys &) const = default;
};

// The one combination text names, or nothing with why: a text that is no key sequence, more
// than one combination, or a key that would be taken from every program's typing.
std::optional<Keys> parse(const QString &text, QString *why = nullptr);

// Qt's portable text again: "Meta+Shift+C".
QString portable(const Keys &keys);
// GNOME's accelerator: "<Super><Shift>c".
QString gnome(const Keys &keys);
// sway's bindsym: "Mod4+Shift+c".
QString sway(const Keys &keys);
// The X keysym's name: "c", "F5", "Print", "bracketleft".
QString keysym(const Keys &keys);
// KDE's global shortcuts take Qt's combined key code.
int kde(const Keys &keys);

// The X keysym's value and the core modifier mask (Shift 1, Control 4, Mod1 8, Mod4 64).
struct XKey
{
    quint32 keysym = 0;
    quint16 modifiers = 0;
    bool operator==(const XKey &) const = default;
};
XKey x11(const Keys &keys);

} // namespace shortcutkeys
