// Which icon theme the desktop uses, from the desktop's own settings.

#include <gio/gio.h>

#include <memory>

#include "desktop_key_file.hpp"
#include "jolstrand/current_desktop.hpp"
#include "jolstrand/icon_theme.hpp"

namespace jolstrand {
namespace {

struct GObjectDeleter {
  void operator()(void* object) const { g_object_unref(object); }
};
struct SchemaDeleter {
  void operator()(GSettingsSchema* schema) const { g_settings_schema_unref(schema); }
};

// GNOME's choice, when its schema is installed (GSettings aborts on a schema it lacks).
std::string gnomeIconTheme() {
  constexpr const char* schemaId = "org.gnome.desktop.interface";
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return {};
  const std::unique_ptr<GSettingsSchema, SchemaDeleter> schema(
      g_settings_schema_source_lookup(source, schemaId, TRUE));
  if (!schema || !g_settings_schema_has_key(schema.get(), "icon-theme")) return {};
  const std::unique_ptr<GSettings, GObjectDeleter> settings(
      g_settings_new_full(schema.get(), nullptr, nullptr));
  const detail::GlibText theme(g_settings_get_string(settings.get(), "icon-theme"));
  return theme ? std::string(theme.get()) : std::string();
}

// KDE's choice: the user's kdeglobals, then the system's; KDE's default when neither says.
std::string kdeIconTheme(const std::string& configHome) {
  for (const std::string& path : {configHome + "/kdeglobals", std::string("/etc/xdg/kdeglobals")}) {
    auto loaded = detail::loadKeyFile(path, ',');
    if (!std::holds_alternative<detail::KeyFile>(loaded)) continue;
    const detail::GlibText theme(
        g_key_file_get_string(std::get<detail::KeyFile>(loaded).get(), "Icons", "Theme", nullptr));
    if (theme && *theme != '\0') return theme.get();
  }
  return "breeze";
}

}  // namespace

std::string desktopIconTheme(const std::string& currentDesktop, const std::string& configHome,
                             const std::string& fallback) {
  if (currentDesktopIncludes(currentDesktop, "GNOME")) {
    if (std::string theme = gnomeIconTheme(); !theme.empty()) return theme;
  }
  if (currentDesktopIncludes(currentDesktop, "KDE")) return kdeIconTheme(configHome);
  return fallback.empty() ? "hicolor" : fallback;
}

}  // namespace jolstrand
