// GNOME's custom keybinding: an entry of gnome-settings-daemon's media-keys plugin, through
// GSettings, with every other entry kept.
#include "globalshortcut.h"
#include "gsettingslibrary.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QRegularExpression>
#include <QSet>
#include <memory>

namespace globalshortcut {

namespace {

constexpr char mediaKeys[] = "org.gnome.settings-daemon.plugins.media-keys";
constexpr char customKeybinding[] =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr char listKey[] = "custom-keybindings";

struct Unref
{
    const GSettingsLibrary *g;
    void operator()(GSettings *settings) const { g->object_unref(settings); }
};
using Settings = std::unique_ptr<GSettings, Unref>;

QStringList strings(const GSettingsLibrary &g, GSettings *settings, const char *key)
{
    QStringList list;
    gchar **values = g.settings_get_strv(settings, key);
    for (gchar **value = values; value && *value; ++value)
        list << QString::fromUtf8(*value);
    g.strfreev(values);
    return list;
}

bool setStrings(const GSettingsLibrary &g, GSettings *settings, const char *key,
                const QStringList &list)
{
    std::vector<QByteArray> bytes;
    for (const QString &value : list)
        bytes.push_back(value.toUtf8());
    std::vector<const gchar *> values;
    for (const QByteArray &value : bytes)
        values.push_back(value.constData());
    values.push_back(nullptr);
    return g.settings_set_strv(settings, key, values.data());
}

QString string(const GSettingsLibrary &g, GSettings *settings, const char *key)
{
    gchar *value = g.settings_get_string(settings, key);
    const QString text = QString::fromUtf8(value);
    g.free(value);
    return text;
}

// An accelerator's modifiers and key, however GNOME's tools spelled and ordered them.
QString normalAccelerator(const QString &accelerator)
{
    static const QRegularExpression modifier(QStringLiteral("<([^>]*)>"));
    QSet<QString> modifiers;
    for (const QRegularExpressionMatch &match : modifier.globalMatch(accelerator)) {
        QString name = match.captured(1).toLower();
        if (name == QLatin1String("primary") || name == QLatin1String("ctrl") ||
            name == QLatin1String("ctl"))
            name = QStringLiteral("control");
        else if (name == QLatin1String("mod4"))
            name = QStringLiteral("super");
        else if (name == QLatin1String("mod1"))
            name = QStringLiteral("alt");
        modifiers.insert(name);
    }
    QStringList sorted(modifiers.begin(), modifiers.end());
    sorted.sort();
    return sorted.join(QLatin1Char('+')) + QLatin1Char('+') +
           QString(accelerator).remove(modifier).toLower();
}

// GSettings, its schemas and a place that keeps what is written; nothing with why not.
const GSettingsLibrary *usable(QString *why)
{
    const GSettingsLibrary *g = gsettingsLibrary();
    if (!g) {
        *why = QStringLiteral("GIO (Debian's libglib2.0-0) could not be loaded.");
        return nullptr;
    }
    GSettingsSchemaSource *source = g->settings_schema_source_get_default();
    for (const char *id : {mediaKeys, customKeybinding}) {
        GSettingsSchema *schema =
            source ? g->settings_schema_source_lookup(source, id, TRUE) : nullptr;
        if (!schema) {
            *why = QStringLiteral("GNOME's settings daemon has no keybindings here (schema %1 "
                                  "missing).")
                       .arg(QString::fromLatin1(id));
            return nullptr;
        }
        g->settings_schema_unref(schema);
    }
    // Without dconf GSettings keeps values in memory: a success that the next start would not
    // see.
    GSettingsBackend *backend = g->settings_backend_get_default();
    const QString backendType =
        QString::fromLatin1(g->type_name_from_instance(reinterpret_cast<GTypeInstance *>(backend)));
    g->object_unref(backend);
    if (backendType.contains(QStringLiteral("Memory"), Qt::CaseInsensitive) ||
        backendType.contains(QStringLiteral("Null"), Qt::CaseInsensitive)) {
        *why = QStringLiteral("GNOME's settings are not kept here (no dconf).");
        return nullptr;
    }
    // dconf writes through its service on the session bus, and loses the change quietly when
    // there is none.
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    const QString dconf = QStringLiteral("ca.desrt.dconf");
    if (!QDBusConnection::sessionBus().isConnected() || !bus ||
        (!bus->isServiceRegistered(dconf).value() &&
         !bus->activatableServiceNames().value().contains(dconf))) {
        *why = QStringLiteral("GNOME's settings cannot be written: dconf is not on the session "
                              "bus.");
        return nullptr;
    }
    return g;
}

QString byHand(const QStringList &command)
{
    return QStringLiteral(" Set it up by hand in Settings → Keyboard → View and Customize "
                          "Shortcuts → Custom Shortcuts, with the command %1.")
        .arg(shellCommand(command));
}

} // namespace

Outcome setUpGnome(const shortcutkeys::Keys &keys, const QStringList &command)
{
    QString why;
    const GSettingsLibrary *g = usable(&why);
    if (!g)
        return {false, why + byHand(command)};
    const Settings media(g->settings_new(mediaKeys), Unref{g});
    QStringList list = strings(*g, media.get(), listKey);
    const QString ours = QString::fromLatin1(gnomePath);
    const QString binding = shortcutkeys::gnome(keys);
    for (const QString &path : list) {
        if (path == ours)
            continue;
        const Settings other(g->settings_new_with_path(customKeybinding, path.toUtf8().constData()),
                             Unref{g});
        if (normalAccelerator(string(*g, other.get(), "binding")) == normalAccelerator(binding))
            return {false, QStringLiteral("%1 is taken by the custom shortcut \"%2\": choose "
                                          "another key, or change that one in Settings → "
                                          "Keyboard.")
                               .arg(shortcutkeys::portable(keys), string(*g, other.get(), "name"))};
    }
    const Settings entry(g->settings_new_with_path(customKeybinding, gnomePath), Unref{g});
    bool written = g->settings_set_string(entry.get(), "name", "Huebrook: pick a color") &&
                   g->settings_set_string(entry.get(), "command",
                                          shellCommand(command).toUtf8().constData()) &&
                   g->settings_set_string(entry.get(), "binding", binding.toUtf8().constData());
    if (written && !list.contains(ours)) {
        list << ours;
        written = setStrings(*g, media.get(), listKey, list);
    }
    g->settings_sync();
    if (!written)
        return {false, QStringLiteral("GNOME's keybindings are locked here.") + byHand(command)};
    return {true, QStringLiteral("Set up %1 as GNOME's custom shortcut \"Huebrook: pick a "
                                 "color\" (Settings → Keyboard → Custom Shortcuts); it runs %2.")
                      .arg(shortcutkeys::portable(keys), shellCommand(command))};
}

Outcome removeGnome()
{
    QString why;
    const GSettingsLibrary *g = usable(&why);
    if (!g)
        return {false, why};
    const Settings media(g->settings_new(mediaKeys), Unref{g});
    QStringList list = strings(*g, media.get(), listKey);
    const QString ours = QString::fromLatin1(gnomePath);
    bool written = true;
    if (list.removeAll(ours) > 0)
        written = setStrings(*g, media.get(), listKey, list);
    const Settings entry(g->settings_new_with_path(customKeybinding, gnomePath), Unref{g});
    for (const char *key : {"name", "command", "binding"})
        g->settings_reset(entry.get(), key);
    g->settings_sync();
    if (!written)
        return {false, QStringLiteral("GNOME's keybindings are locked here.")};
    return {true, QStringLiteral("Took away Huebrook's custom shortcut from GNOME.")};
}

} // namespace globalshortcut
