// Loading GIO through QLibrary, once.
#include "gsettingslibrary.h"

#include <QLibrary>
#include <optional>

const GSettingsLibrary *gsettingsLibrary()
{
    static const std::optional<GSettingsLibrary> library = []() -> std::optional<GSettingsLibrary> {
        // Never unloaded: GObject's types cannot be.
        QLibrary file(QStringLiteral("gio-2.0"), 0);
        if (!file.load())
            return std::nullopt;
        bool whole = true;
        // GObject's and GLib's functions come through GIO, which links them.
        const auto get = [&](auto &function, const char *name) {
            function =
                reinterpret_cast<std::remove_reference_t<decltype(function)>>(file.resolve(name));
            whole = whole && function;
        };
        GSettingsLibrary g{};
        get(g.settings_schema_source_get_default, "g_settings_schema_source_get_default");
        get(g.settings_schema_source_lookup, "g_settings_schema_source_lookup");
        get(g.settings_schema_unref, "g_settings_schema_unref");
        get(g.settings_new, "g_settings_new");
        get(g.settings_new_with_path, "g_settings_new_with_path");
        get(g.settings_get_strv, "g_settings_get_strv");
        get(g.settings_set_strv, "g_settings_set_strv");
        get(g.settings_get_string, "g_settings_get_string");
        get(g.settings_set_string, "g_settings_set_string");
        get(g.settings_reset, "g_settings_reset");
        get(g.settings_sync, "g_settings_sync");
        get(g.settings_backend_get_default, "g_settings_backend_get_default");
        get(g.type_name_from_instance, "g_type_name_from_instance");
        get(g.object_unref, "g_object_unref");
        get(g.strfreev, "g_strfreev");
        get(g.free, "g_free");
        return whole ? std::optional<GSettingsLibrary>(g) : std::nullopt;
    }();
    return library ? &*library : nullptr;
}
