// GNOME before its portal had shortcuts: a custom keyboard shortcut, Super-Space running the
// launcher, which GNOME Settings lists under Custom Shortcuts. The user adds and removes it from
// the setup window; it is appended to the user's own list, whose other entries stay as they are.
// GNOME runs the command, and that later start shows the running launcher's panel.

// GIO first: Qt defines `signals` as a word of its own, which GIO's headers use as a name.
#include "platform/linux/glib_handles.hpp"

#include <algorithm>
#include <string>
#include <vector>

#include "jolstrand/log.hpp"
#include "platform/gnome_shortcuts.hpp"
#include "platform/linux/desktop_hot_keys.hpp"

namespace jolstrand {
namespace {

constexpr const char* mediaKeys = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char* customKeybinding =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";
constexpr const char* listKey = "custom-keybindings";
constexpr const char* ownPath =
    "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/jolstrand/";
constexpr const char* superSpace = "<Super>space";

bool installed(const char* schemaId) {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  return source != nullptr && SchemaHandle(g_settings_schema_source_lookup(source, schemaId, TRUE));
}

std::vector<std::string> customPaths(GSettings* settings) {
  const StringsHandle paths(g_settings_get_strv(settings, listKey));
  std::vector<std::string> list;
  for (gchar** path = paths.get(); *path != nullptr; ++path) list.emplace_back(*path);
  return list;
}

bool setCustomPaths(GSettings* settings, const std::vector<std::string>& list) {
  std::vector<const char*> paths;
  for (const std::string& path : list) paths.push_back(path.c_str());
  paths.push_back(nullptr);
  const bool written = g_settings_set_strv(settings, listKey, paths.data());
  g_settings_sync();
  return written;
}

std::string stringAt(GSettings* settings, const char* key) {
  return StringHandle(g_settings_get_string(settings, key)).get();
}

// "<Primary><Alt>space" as a person reads it: "Ctrl+Alt+Space".
QString readableAccelerator(const std::string& accelerator) {
  QString text = QString::fromStdString(accelerator);
  QString readable;
  while (text.startsWith(u'<')) {
    const qsizetype close = text.indexOf(u'>');
    if (close < 0) break;
    QString modifier = text.mid(1, close - 1).toLower();
    if (modifier == u"primary" || modifier == u"control" || modifier == u"ctrl") {
      modifier = QStringLiteral("ctrl");
    } else if (modifier == u"mod4") {
      modifier = QStringLiteral("super");
    }
    modifier[0] = modifier[0].toUpper();
    readable += modifier + u'+';
    text.remove(0, close + 1);
  }
  if (!text.isEmpty()) text[0] = text[0].toUpper();
  return readable + text;
}

class GnomeCustomShortcut final : public HotKeyBackend {
 public:
  explicit GnomeCustomShortcut(QString command) : command_(std::move(command)) {}

  std::int32_t registerKey() override {
    trigger_.clear();
    if (!installed(mediaKeys) || !installed(customKeybinding)) return refusedByDesktop;
    const SettingsHandle list(g_settings_new(mediaKeys));
    const std::vector<std::string> paths = customPaths(list.get());
    if (std::find(paths.begin(), paths.end(), ownPath) == paths.end()) return noKey;
    const SettingsHandle entry(g_settings_new_with_path(customKeybinding, ownPath));
    const std::string binding = stringAt(entry.get(), "binding");
    if (binding.empty()) return noKey;
    if (isSuperSpace(binding)) return 0;
    trigger_ = readableAccelerator(binding);  // the user chose another key in GNOME Settings
    return otherKey;
  }

  // The shortcut is the user's, not the process's: it stays when the launcher quits.
  void unregisterKey() override {}

  QString trigger() const override { return trigger_; }
  bool userAddsShortcut() const override { return true; }

  bool addShortcut() override {
    if (!installed(mediaKeys) || !installed(customKeybinding)) return false;
    const SettingsHandle entry(g_settings_new_with_path(customKeybinding, ownPath));
    const std::string command = command_.toStdString();
    const bool written = g_settings_set_string(entry.get(), "name", "Jolstrand") &&
                         g_settings_set_string(entry.get(), "command", command.c_str()) &&
                         g_settings_set_string(entry.get(), "binding", superSpace);
    const SettingsHandle list(g_settings_new(mediaKeys));
    std::vector<std::string> paths = customPaths(list.get());
    if (std::find(paths.begin(), paths.end(), ownPath) == paths.end()) paths.emplace_back(ownPath);
    const bool listed = written && setCustomPaths(list.get(), paths);
    if (!listed) logLine("could not add the GNOME shortcut for Super-Space");
    return listed;
  }

  bool removeShortcut() override {
    if (!installed(mediaKeys) || !installed(customKeybinding)) return false;
    const SettingsHandle list(g_settings_new(mediaKeys));
    std::vector<std::string> paths = customPaths(list.get());
    std::erase(paths, std::string(ownPath));
    if (!setCustomPaths(list.get(), paths)) return false;
    const SettingsHandle entry(g_settings_new_with_path(customKeybinding, ownPath));
    for (const char* key : {"name", "command", "binding"}) g_settings_reset(entry.get(), key);
    g_settings_sync();
    return true;
  }

 private:
  const QString command_;
  QString trigger_;
};

}  // namespace

std::unique_ptr<HotKeyBackend> makeGnomeCustomShortcut(const QString& command) {
  return std::make_unique<GnomeCustomShortcut>(command);
}

}  // namespace jolstrand
