// Setting up a key from anywhere on KDE and sway, the quoting of the command, and which desktop
// this is; GNOME's part is in globalshortcut_gnome.cpp.
#include "globalshortcut.h"

#include "swayipc.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>

namespace globalshortcut {

Desktop detect(const QProcessEnvironment &environment)
{
    const QStringList desktops = environment.value(QStringLiteral("XDG_CURRENT_DESKTOP"))
                                     .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (desktops.contains(QStringLiteral("GNOME"), Qt::CaseInsensitive))
        return Desktop::Gnome;
    if (desktops.contains(QStringLiteral("KDE"), Qt::CaseInsensitive))
        return Desktop::Kde;
    if (!environment.value(QStringLiteral("SWAYSOCK")).isEmpty())
        return Desktop::Sway;
    // Under another Wayland compositor a grab of Xwayland's root window sees no key at all.
    if (environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty() &&
        !environment.value(QStringLiteral("DISPLAY")).isEmpty())
        return Desktop::X11;
    return Desktop::Unknown;
}

QString name(Desktop desktop)
{
    switch (desktop) {
    case Desktop::Gnome:
        return QStringLiteral("GNOME");
    case Desktop::Kde:
        return QStringLiteral("KDE Plasma");
    case Desktop::Sway:
        return QStringLiteral("sway");
    case Desktop::X11:
        return QStringLiteral("X11");
    case Desktop::Unknown:
        break;
    }
    return QStringLiteral("this desktop");
}

QString shellCommand(const QStringList &command)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_/.,:=+@%-]+$"));
    QStringList words;
    for (const QString &word : command)
        words << (plain.match(word).hasMatch()
                      ? word
                      : QLatin1Char('\'') +
                            QString(word).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
                            QLatin1Char('\''));
    return words.join(QLatin1Char(' '));
}

QString execLine(const QStringList &command)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_/.,:=+@-]+$"));
    QStringList words;
    for (QString word : command) {
        // A field code's percent sign is doubled whether or not the word is quoted.
        word.replace(QLatin1Char('%'), QStringLiteral("%%"));
        if (plain.match(word).hasMatch()) {
            words << word;
            continue;
        }
        QString quoted;
        for (const QChar c : word) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        words << QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return words.join(QLatin1Char(' '));
}

namespace {

const QString kdeService = QStringLiteral("org.kde.kglobalaccel");

QStringList kdeAction()
{
    // The component, the action a desktop entry's launch is, and what the Shortcuts page
    // shows for each.
    return {QString::fromLatin1(kdeComponent), QStringLiteral("_launch"),
            QStringLiteral("Huebrook"), QStringLiteral("Pick a color to the clipboard")};
}

QDBusMessage kdeCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kdeService, QStringLiteral("/kglobalaccel"),
                                       QStringLiteral("org.kde.KGlobalAccel"), method);
    call.setArguments(arguments);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
}

bool kdeServiceThere()
{
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    if (!bus)
        return false;
    return bus->isServiceRegistered(kdeService).value() ||
           bus->activatableServiceNames().value().contains(kdeService);
}

QString kdeEntry(const QString &dataHome)
{
    return dataHome + QStringLiteral("/applications/") + QString::fromLatin1(kdeComponent);
}

bool writeWhole(const QString &path, const QByteArray &contents, QString *why)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *why = QStringLiteral("%1 could not be made").arg(QFileInfo(path).absolutePath());
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit()) {
        *why = QStringLiteral("%1 could not be written: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// sway's answer to a command: nothing when it succeeded, else why.
std::optional<QString> swayRefusal(const QByteArray &command)
{
    const std::optional<QByteArray> reply = swayipc::request(swayipc::RunCommand, command, 2000);
    if (!reply)
        return QStringLiteral("sway did not answer on $SWAYSOCK");
    const QJsonArray results = QJsonDocument::fromJson(*reply).array();
    for (const QJsonValue &result : results)
        if (!result.toObject().value(QStringLiteral("success")).toBool())
            return result.toObject().value(QStringLiteral("error")).toString();
    if (results.isEmpty())
        return QStringLiteral("sway's answer was not one");
    return std::nullopt;
}

constexpr char swayBind[] = "bindsym --no-repeat ";

} // namespace

Outcome setUpKde(const shortcutkeys::Keys &keys, const QStringList &command,
                 const QString &dataHome)
{
    const QString byHand =
        QStringLiteral(" Set it up by hand in System Settings → Shortcuts → Add New → Command or "
                       "Script, with the command %1.")
            .arg(shellCommand(command));
    if (!QDBusConnection::sessionBus().isConnected())
        return {false, QStringLiteral("There is no session bus to reach KDE's global shortcuts.") +
                           byHand};
    if (!kdeServiceThere())
        return {false, QStringLiteral("KDE's global shortcuts service (org.kde.kglobalaccel) is "
                                      "not on the session bus.") +
                           byHand};
    const QString entry = kdeEntry(dataHome);
    const QByteArray contents =
        "[Desktop Entry]\nType=Application\nName=Huebrook\n"
        "Comment=Pick a color to the clipboard\nIcon=huebrook\nExec=" +
        execLine(command).replace(QLatin1Char('\\'), QStringLiteral("\\\\")).toUtf8() +
        "\nNoDisplay=true\n"
        // KWin grants its screenshots by the entry that names the executable, which may be
        // this one.
        "X-KDE-DBUS-Restricted-Interfaces=org.kde.KWin.ScreenShot2\n";
    if (QString why; !writeWhole(entry, contents, &why))
        return {false, why + QLatin1Char('.') + byHand};
    const QDBusMessage registered = kdeCall(QStringLiteral("doRegister"), {kdeAction()});
    // SetPresent (2): the key is ours now; NoAutoloading (4): not the one kept before.
    const QDBusMessage set =
        kdeCall(QStringLiteral("setShortcut"),
                {kdeAction(), QVariant::fromValue(QList<int>{shortcutkeys::kde(keys)}), 2u | 4u});
    const QString keysText = shortcutkeys::portable(keys);
    if (registered.type() == QDBusMessage::ErrorMessage ||
        set.type() == QDBusMessage::ErrorMessage) {
        QFile::remove(entry);
        const QDBusMessage &error =
            registered.type() == QDBusMessage::ErrorMessage ? registered : set;
        return {false, QStringLiteral("KDE's global shortcuts refused %1: %2.")
                               .arg(keysText, error.errorMessage()) +
                           byHand};
    }
    const QList<int> given = qdbus_cast<QList<int>>(set.arguments().value(0));
    if (!given.contains(shortcutkeys::kde(keys))) {
        kdeCall(QStringLiteral("unregister"), {kdeAction().at(0), kdeAction().at(1)});
        QFile::remove(entry);
        return {false, QStringLiteral("%1 is taken by another shortcut of KDE Plasma: choose "
                                      "another key, or free it in System Settings → Shortcuts.")
                           .arg(keysText)};
    }
    return {true, QStringLiteral("Set up %1 with KDE's global shortcuts (System Settings → "
                                 "Shortcuts → Huebrook); it runs %2.")
                      .arg(keysText, shellCommand(command))};
}

Outcome removeKde(const QString &dataHome)
{
    const QString entry = kdeEntry(dataHome);
    const bool hadEntry = QFileInfo::exists(entry);
    if (QDBusConnection::sessionBus().isConnected() && kdeServiceThere()) {
        const QDBusMessage reply =
            kdeCall(QStringLiteral("unregister"), {kdeAction().at(0), kdeAction().at(1)});
        if (reply.type() == QDBusMessage::ErrorMessage)
            return {false, QStringLiteral("KDE's global shortcuts kept Huebrook's shortcut: %1.")
                               .arg(reply.errorMessage())};
    } else if (hadEntry) {
        return {false, QStringLiteral("KDE's global shortcuts service (org.kde.kglobalaccel) is "
                                      "not on the session bus, so Huebrook's shortcut stays.")};
    }
    if (hadEntry && !QFile::remove(entry))
        return {false, QStringLiteral("%1 could not be removed.").arg(entry)};
    return {true, QStringLiteral("Took away Huebrook's shortcut from KDE's global shortcuts.")};
}

QByteArray swayBinding(const shortcutkeys::Keys &keys, const QStringList &command)
{
    return swayBind + shortcutkeys::sway(keys).toUtf8() + " exec " + shellCommand(command).toUtf8();
}

Outcome setUpSway(const shortcutkeys::Keys &keys, const QStringList &command, const QString &file)
{
    const QString byHand = QStringLiteral(" Add this line to your sway configuration by hand: %1")
                               .arg(QString::fromUtf8(swayBinding(keys, command)));
    // The key bound before by Huebrook goes first, so that changing it leaves no other behind.
    if (const Outcome old = removeSway(file); !old.done)
        return {false, old.line};
    const QByteArray binding = swayBinding(keys, command);
    if (const std::optional<QString> refused = swayRefusal(binding))
        return {false,
                QStringLiteral("sway refused %1: %2.").arg(shortcutkeys::portable(keys), *refused) +
                    byHand};
    const QByteArray contents = "# Huebrook's shortcut; `huebrook --shortcut none` takes it "
                                "away.\n" +
                                binding + '\n';
    if (QString why; !writeWhole(file, contents, &why)) {
        swayRefusal(QByteArray("un") + binding.left(binding.indexOf(" exec ")));
        return {false, why + QLatin1Char('.') + byHand};
    }
    return {true, QStringLiteral("Set up %1 on sway now; for later sessions, add this line to "
                                 "your sway configuration: include %2")
                      .arg(shortcutkeys::portable(keys), file)};
}

Outcome removeSway(const QString &file)
{
    QFile kept(file);
    if (!kept.exists())
        return {true, QStringLiteral("Huebrook had set up no shortcut on sway.")};
    if (!kept.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("%1 could not be read: %2.").arg(file, kept.errorString())};
    for (const QByteArray &line : kept.readAll().split('\n')) {
        if (!line.startsWith(swayBind))
            continue;
        // unbindsym takes the flags and the combination that bindsym was given.
        const qsizetype exec = line.indexOf(" exec ");
        if (exec < 0)
            continue;
        // A reload of sway's configuration has dropped a binding made at run time: gone too.
        if (const std::optional<QString> refused = swayRefusal("un" + line.left(exec));
            refused && !refused->contains(QStringLiteral("could not find"), Qt::CaseInsensitive))
            return {false, QStringLiteral("sway kept Huebrook's shortcut: %1.").arg(*refused)};
    }
    if (!kept.remove())
        return {false,
                QStringLiteral("%1 could not be removed: %2.").arg(file, kept.errorString())};
    return {true, QStringLiteral("Took away Huebrook's shortcut from sway and %1.").arg(file)};
}

} // namespace globalshortcut
