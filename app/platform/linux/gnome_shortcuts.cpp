#include <algorithm>
#include <cctype>
#include <memory>

#include "jolstrand/current_desktop.hpp"
#include "platform/gnome_shortcuts.hpp"
#include "platform/linux/glib_handles.hpp"

namespace jolstrand {
namespace {

// Where GNOME keeps the shortcuts of the window manager, the shell and the media keys.
constexpr const char* keybindingSchemas[] = {"org.gnome.desktop.wm.keybindings",
                                             "org.gnome.shell.keybindings",
                                             "org.gnome.settings-daemon.plugins.media-keys"};

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

bool bindsSuperSpace(GVariant* value) {
  if (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING)) {
    return isSuperSpace(g_variant_get_string(value, nullptr));
  }
  if (!g_variant_is_of_type(value, G_VARIANT_TYPE_STRING_ARRAY)) return false;
  for (gsize i = 0; i < g_variant_n_children(value); ++i) {
    const VariantHandle element(g_variant_get_child_value(value, i));
    if (isSuperSpace(g_variant_get_string(element.get(), nullptr))) return true;
  }
  return false;
}

bool schemaBindsSuperSpace(GSettingsSchemaSource* source, const char* id) {
  const SchemaHandle schema(g_settings_schema_source_lookup(source, id, TRUE));
  // Not installed, or relocatable (GSettings would abort on a schema without a path).
  if (!schema || g_settings_schema_get_path(schema.get()) == nullptr) return false;
  const SettingsHandle settings(g_settings_new_full(schema.get(), nullptr, nullptr));
  const StringsHandle keys(g_settings_schema_list_keys(schema.get()));
  for (gchar** key = keys.get(); *key != nullptr; ++key) {
    const VariantHandle value(g_settings_get_value(settings.get(), *key));
    if (bindsSuperSpace(value.get())) return true;
  }
  return false;
}

}  // namespace

bool isSuperSpace(std::string_view accelerator) {
  bool super = false;
  while (!accelerator.empty() && accelerator.front() == '<') {
    const std::size_t close = accelerator.find('>');
    if (close == std::string_view::npos) return false;
    const std::string_view modifier = accelerator.substr(1, close - 1);
    if (!equalIgnoringCase(modifier, "super") && !equalIgnoringCase(modifier, "mod4")) return false;
    super = true;
    accelerator.remove_prefix(close + 1);
  }
  return super && equalIgnoringCase(accelerator, "space");
}

bool gnomeBindsSuperSpace(std::string_view currentDesktop) {
  if (!currentDesktopIncludes(currentDesktop, "GNOME")) return false;
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return false;  // no schemas installed at all
  return std::any_of(std::begin(keybindingSchemas), std::end(keybindingSchemas),
                     [source](const char* id) { return schemaBindsSuperSpace(source, id); });
}

}  // namespace jolstrand
