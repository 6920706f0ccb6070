#pragma once
// Owning handles for the GLib and GIO objects the launcher reads GNOME's settings through.

#include <gio/gio.h>

#include <memory>

namespace jolstrand {

template <class T, void (*release)(T*)>
struct GLibReleaser {
  void operator()(T* handle) const { release(handle); }
};
using SchemaHandle =
    std::unique_ptr<GSettingsSchema, GLibReleaser<GSettingsSchema, g_settings_schema_unref>>;
using SettingsHandle = std::unique_ptr<GSettings, GLibReleaser<void, g_object_unref>>;
using VariantHandle = std::unique_ptr<GVariant, GLibReleaser<GVariant, g_variant_unref>>;
using StringsHandle = std::unique_ptr<gchar*, GLibReleaser<gchar*, g_strfreev>>;
using StringHandle = std::unique_ptr<gchar, GLibReleaser<void, g_free>>;

}  // namespace jolstrand
