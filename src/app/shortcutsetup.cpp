// Huebrook's shortcut from anywhere, on each desktop.
#include "shortcutsetup.h"

#include "base/userstore.h"
#include "desktop/rootkeygrab.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace shortcutsetup {

namespace {

const QString keysKey = QStringLiteral("Shortcut/Keys");
const QString formatKey = QStringLiteral("Shortcut/Format");
const QString desktopKey = QStringLiteral("Shortcut/Desktop");

QString swayFile(const QString &applicationName)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/huebrook/") + applicationName + QStringLiteral("-sway.conf");
}

QString dataHome()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
}

// The outcome, with the choice kept when it was done; a setting that cannot be written undoes
// nothing on the desktop but is said.
globalshortcut::Outcome keep(globalshortcut::Outcome outcome, const QString &applicationName,
                             const QList<std::pair<QString, QVariant>> &values)
{
    if (outcome.done && !UserStore(applicationName).write(values)) {
        outcome.done = false;
        outcome.line += QStringLiteral(" But the settings file %1 could not be written, so "
                                       "Huebrook will not remember it.")
                            .arg(UserStore(applicationName).fileName());
    }
    return outcome;
}

globalshortcut::Outcome setUpX11(const shortcutkeys::Keys &keys, const QString &applicationName,
                                 RootKeyGrab *grab)
{
    const QString text = shortcutkeys::portable(keys);
    const QString refused = QStringLiteral("%1 cannot be set up on this X11 display: %2. Choose "
                                           "another key, or bind it to %3 in your desktop's "
                                           "keyboard settings.");
    QString why;
    if (grab) {
        if (!grab->grab(shortcutkeys::x11(keys), &why)) {
            // The key held before stays.
            QString ignored;
            grabKept(applicationName, *grab, &ignored);
            return {false, refused.arg(text, why, globalshortcut::shellCommand(command({})))};
        }
        return {true, QStringLiteral("Set up %1 on this X11 display while Huebrook runs; each "
                                     "start of Huebrook grabs it again.")
                          .arg(text)};
    }
    if (!RootKeyGrab::available(shortcutkeys::x11(keys), &why))
        return {false, refused.arg(text, why, globalshortcut::shellCommand(command({})))};
    return {true, QStringLiteral("Set up %1 on this X11 display while Huebrook runs: start "
                                 "Huebrook to use it, and each start grabs it again.")
                      .arg(text)};
}

} // namespace

QStringList command(const QString &format)
{
    QStringList words{QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath(),
                      QStringLiteral("--pick"), QStringLiteral("--once"), QStringLiteral("--copy")};
    if (!format.isEmpty())
        words << QStringLiteral("--format") << format;
    return words;
}

globalshortcut::Outcome setUp(globalshortcut::Desktop desktop, const shortcutkeys::Keys &keys,
                              const QString &format, const QString &applicationName,
                              RootKeyGrab *grab)
{
    using globalshortcut::Desktop;
    const QStringList words = command(format);
    globalshortcut::Outcome outcome;
    switch (desktop) {
    case Desktop::Gnome:
        outcome = globalshortcut::setUpGnome(keys, words);
        break;
    case Desktop::Kde:
        outcome = globalshortcut::setUpKde(keys, words, dataHome());
        break;
    case Desktop::Sway:
        outcome = globalshortcut::setUpSway(keys, words, swayFile(applicationName));
        break;
    case Desktop::X11:
        outcome = setUpX11(keys, applicationName, grab);
        break;
    case Desktop::Unknown:
        return {false, QStringLiteral("This desktop offers Huebrook no way to set up a shortcut: "
                                      "bind %1 to %2 in its keyboard settings.")
                           .arg(shortcutkeys::portable(keys), globalshortcut::shellCommand(words))};
    }
    return keep(outcome, applicationName,
                {{keysKey, shortcutkeys::portable(keys)},
                 {formatKey, format},
                 {desktopKey, globalshortcut::name(desktop)}});
}

globalshortcut::Outcome remove(globalshortcut::Desktop desktop, const QString &applicationName,
                               RootKeyGrab *grab)
{
    using globalshortcut::Desktop;
    globalshortcut::Outcome outcome;
    switch (desktop) {
    case Desktop::Gnome:
        outcome = globalshortcut::removeGnome();
        break;
    case Desktop::Kde:
        outcome = globalshortcut::removeKde(dataHome());
        break;
    case Desktop::Sway:
        outcome = globalshortcut::removeSway(swayFile(applicationName));
        break;
    case Desktop::X11:
    case Desktop::Unknown:
        if (grab)
            grab->release();
        outcome = {true, QStringLiteral("Took away Huebrook's shortcut: no start of Huebrook "
                                        "grabs a key any more.")};
        break;
    }
    return keep(outcome, applicationName,
                {{keysKey, QString()}, {formatKey, QString()}, {desktopKey, QString()}});
}

Kept kept(const QString &applicationName)
{
    const UserStore store(applicationName);
    Kept kept;
    const QString keys = store.value(keysKey).toString();
    if (!keys.isEmpty())
        kept.keys = shortcutkeys::parse(keys);
    kept.format = store.value(formatKey).toString();
    kept.desktop = store.value(desktopKey).toString();
    return kept;
}

QString describe(const Kept &kept)
{
    if (!kept.keys)
        return QStringLiteral("No shortcut is set up.");
    return QStringLiteral("%1 picks a color to the clipboard as %2 (set up on %3).")
        .arg(shortcutkeys::portable(*kept.keys),
             kept.format.isEmpty() ? QStringLiteral("hex") : kept.format, kept.desktop);
}

QString silence(globalshortcut::Desktop desktop)
{
    return QStringLiteral("%1 did not answer within %2 seconds; nothing is known to be set up. "
                          "Set the key up by hand in its keyboard settings, with the command %3.")
        .arg(globalshortcut::name(desktop))
        .arg(deadlineSeconds)
        .arg(globalshortcut::shellCommand(command({})));
}

bool grabKept(const QString &applicationName, RootKeyGrab &grab, QString *why)
{
    const Kept choice = kept(applicationName);
    if (!choice.keys || choice.desktop != globalshortcut::name(globalshortcut::Desktop::X11))
        return true;
    return grab.grab(shortcutkeys::x11(*choice.keys), why);
}

} // namespace shortcutsetup
