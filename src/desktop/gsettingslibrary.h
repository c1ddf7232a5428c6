// GIO's GSettings, loaded the first time a GNOME shortcut is set up rather than at start: GIO
// brings GObject and more along, which no other start needs.
#pragma once

// Qt's signals macro would rename a field of GIO's; the backend's header asks for consent.
#pragma push_macro("signals")
#undef signals
#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>
#pragma pop_macro("signals")

// The functions GNOME's keybindings need, by GLib's names without "g_".
struct GSettingsLibrary
{
    decltype(&::g_settings_schema_source_get_default) settings_schema_source_get_default;
    decltype(&::g_settings_schema_source_lookup) settings_schema_source_lookup;
    decltype(&::g_settings_schema_unref) settings_schema_unref;
    decltype(&::g_settings_new) settings_new;
    decltype(&::g_settings_new_with_path) settings_new_with_path;
    decltype(&::g_settings_get_strv) settings_get_strv;
    decltype(&::g_settings_set_strv) settings_set_strv;
    decltype(&::g_settings_get_string) settings_get_string;
    decltype(&::g_settings_set_string) settings_set_string;
    decltype(&::g_settings_reset) settings_reset;
    decltype(&::g_settings_sync) settings_sync;
    decltype(&::g_settings_backend_get_default) settings_backend_get_default;
    decltype(&::g_type_name_from_instance) type_name_from_instance;
    decltype(&::g_object_unref) object_unref;
    decltype(&::g_strfreev) strfreev;
    decltype(&::g_free) free;
};

// The library, loaded on the first call; nothing when it cannot be loaded whole.
const GSettingsLibrary *gsettingsLibrary();
