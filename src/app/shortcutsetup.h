// Huebrook's shortcut from anywhere: set up on the desktop in use so that it runs this
// executable's --pick --once --copy, kept in the settings, and taken away again.
#pragma once

#include "desktop/globalshortcut.h"
#include "desktop/shortcutkeys.h"

#include <QString>
#include <QStringList>
#include <optional>

class RootKeyGrab;

namespace shortcutsetup {

// The command the key runs: this executable, with the format when one is given.
QStringList command(const QString &format);

// On desktop, for the executable named applicationName. On plain X11 the key is grabbed by
// grab, the running Huebrook's; without one it is only tried, for the next start to grab.
globalshortcut::Outcome setUp(globalshortcut::Desktop desktop, const shortcutkeys::Keys &keys,
                              const QString &format, const QString &applicationName,
                              RootKeyGrab *grab);
globalshortcut::Outcome remove(globalshortcut::Desktop desktop, const QString &applicationName,
                               RootKeyGrab *grab);

// What is kept: the keys, and the format they copy (empty: hex).
struct Kept
{
    std::optional<shortcutkeys::Keys> keys;
    QString format;
    QString desktop;
};
Kept kept(const QString &applicationName);
// One line on what is set up now.
QString describe(const Kept &kept);

// How long a desktop service may take to answer, and what is said when it did not.
inline constexpr int deadlineSeconds = 10;
QString silence(globalshortcut::Desktop desktop);

// A start on plain X11 grabs the key kept; false with why when another program holds it.
bool grabKept(const QString &applicationName, RootKeyGrab &grab, QString *why);

} // namespace shortcutsetup
