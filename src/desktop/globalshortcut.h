// A key that runs a command from anywhere, set up the way the desktop offers one: a custom
// keybinding of GNOME's settings daemon, a component of KDE's global shortcuts service, or a
// bindsym of sway kept in a file for later sessions. Plain X11 has no such service: a running
// program grabs the key itself (rootkeygrab).
#pragma once

#include "shortcutkeys.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace globalshortcut {

enum class Desktop { Gnome, Kde, Sway, X11, Unknown };

// The desktop of this session, by XDG_CURRENT_DESKTOP, SWAYSOCK and the display variables.
Desktop detect(const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
QString name(Desktop desktop);

struct Outcome
{
    bool done = false;
    QString line; // what was set up or taken away, and where; or why not and what to do
};

// The command line as a POSIX shell (and GNOME, and sway's exec) reads it.
QString shellCommand(const QStringList &command);
// The command line as a desktop entry's Exec, before the entry's own escapes.
QString execLine(const QStringList &command);

// GNOME: our custom keybinding, added to the list with every other entry kept.
inline constexpr char gnomePath[] =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/huebrook/";
Outcome setUpGnome(const shortcutkeys::Keys &keys, const QStringList &command);
Outcome removeGnome();

// KDE: a desktop entry of ours in dataHome/applications, whose launch the service binds, so the
// key works with no Huebrook running.
inline constexpr char kdeComponent[] = "huebrook-pick.desktop";
Outcome setUpKde(const shortcutkeys::Keys &keys, const QStringList &command,
                 const QString &dataHome);
Outcome removeKde(const QString &dataHome);

// sway: bound at once through the IPC, and written to file, which the configuration includes.
Outcome setUpSway(const shortcutkeys::Keys &keys, const QStringList &command, const QString &file);
Outcome removeSway(const QString &file);
// The bindsym line file holds, as setUpSway wrote it.
QByteArray swayBinding(const shortcutkeys::Keys &keys, const QStringList &command);

} // namespace globalshortcut
