// GNOME's keybinding settings read through a real GSettings: the keyfile backend in a temporary
// folder and the installed schemas compiled into another. GLib reads its environment on first
// use, so main() sets it up before any test runs. With JOLSTRAND_GSETTINGS_SCHEMAS=desktop only
// the desktop's own schemas are compiled, as on a machine without GNOME Shell.

#include <gtest/gtest.h>

// GIO before Qt, whose `signals` it uses as a name.
#include "platform/linux/glib_handles.hpp"

#include <unistd.h>

#include <QApplication>
#include <QSettings>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app_delegate.hpp"
#include "fakes.hpp"
#include "jolstrand/simple_main_queue.hpp"
#include "platform/gnome_shortcuts.hpp"
#include "platform/linux/desktop_hot_keys.hpp"
#include "platform/spotlight_check.hpp"
#include "program_info.hpp"

namespace fs = std::filesystem;

namespace jolstrand {
namespace {

const char* const wm = "org.gnome.desktop.wm.keybindings";
const char* const shell = "org.gnome.shell.keybindings";
const char* const mediaKeys = "org.gnome.settings-daemon.plugins.media-keys";
const char* const customKeybinding =
    "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";

bool onlyDesktopSchemas() {
  const char* mode = std::getenv("JOLSTRAND_GSETTINGS_SCHEMAS");
  return mode != nullptr && std::string(mode) == "desktop";
}

bool installed(const char* schemaId) {
  GSettingsSchema* schema =
      g_settings_schema_source_lookup(g_settings_schema_source_get_default(), schemaId, TRUE);
  if (schema == nullptr) return false;
  g_settings_schema_unref(schema);
  return true;
}

// Binds accelerator to key, as a list of one or a single string, whichever the key holds.
void bind(const char* schemaId, const char* key, const char* accelerator) {
  GSettings* settings = g_settings_new(schemaId);
  GVariant* current = g_settings_get_value(settings, key);
  if (g_variant_is_of_type(current, G_VARIANT_TYPE_STRING)) {
    ASSERT_TRUE(g_settings_set_string(settings, key, accelerator));
  } else {
    const char* list[] = {accelerator, nullptr};
    ASSERT_TRUE(g_settings_set_strv(settings, key, list));
  }
  g_variant_unref(current);
  g_settings_sync();
  g_object_unref(settings);
}

void clear(const char* schemaId, const char* key) {
  GSettings* settings = g_settings_new(schemaId);
  const char* none[] = {nullptr};
  ASSERT_TRUE(g_settings_set_strv(settings, key, none));
  g_settings_sync();
  g_object_unref(settings);
}

void resetAll() {
  for (const char* id : {wm, shell, mediaKeys}) {
    if (!installed(id)) continue;
    GSettings* settings = g_settings_new(id);
    GSettingsSchema* schema = nullptr;
    g_object_get(settings, "settings-schema", &schema, nullptr);
    gchar** keys = g_settings_schema_list_keys(schema);
    g_settings_delay(settings);  // one write for all keys
    for (gchar** key = keys; *key != nullptr; ++key) g_settings_reset(settings, *key);
    g_settings_apply(settings);
    g_strfreev(keys);
    g_settings_schema_unref(schema);
    g_settings_sync();
    g_object_unref(settings);
  }
}

class GnomeShortcuts : public ::testing::Test {
 protected:
  void SetUp() override { resetAll(); }
  void TearDown() override { resetAll(); }
};

TEST_F(GnomeShortcuts, TheDefaultInputSourceSwitchHoldsSuperSpaceInAGnomeSession) {
  ASSERT_TRUE(installed(wm));
  EXPECT_TRUE(gnomeBindsSuperSpace("GNOME"));
  EXPECT_TRUE(gnomeBindsSuperSpace("ubuntu:GNOME"));
  EXPECT_FALSE(gnomeBindsSuperSpace("KDE"));
  EXPECT_FALSE(gnomeBindsSuperSpace(""));
}

TEST_F(GnomeShortcuts, TurningTheSwitchOffFreesSuperSpaceAndAnyOtherSpellingTakesItAgain) {
  clear(wm, "switch-input-source");
  EXPECT_FALSE(gnomeBindsSuperSpace("GNOME"));
  bind(wm, "switch-applications", "<Mod4>Space");
  EXPECT_TRUE(gnomeBindsSuperSpace("GNOME"));
  bind(wm, "switch-applications", "<Shift><Super>space");
  EXPECT_FALSE(gnomeBindsSuperSpace("GNOME"));
}

TEST_F(GnomeShortcuts, LooksAtTheShellAndTheMediaKeysToo) {
  if (onlyDesktopSchemas()) GTEST_SKIP() << "compiled without the shell's schemas";
  ASSERT_TRUE(installed(shell));
  ASSERT_TRUE(installed(mediaKeys));
  clear(wm, "switch-input-source");
  bind(shell, "toggle-overview", "<super>SPACE");
  EXPECT_TRUE(gnomeBindsSuperSpace("GNOME"));
  resetAll();
  clear(wm, "switch-input-source");
  bind(mediaKeys, "screensaver", "<Super>space");
  EXPECT_TRUE(gnomeBindsSuperSpace("GNOME"));
}

TEST_F(GnomeShortcuts, AnswersFromTheDesktopSchemasAloneWhereTheShellsAreMissing) {
  if (!onlyDesktopSchemas()) GTEST_SKIP() << "compiled with the shell's schemas";
  ASSERT_FALSE(installed(shell));
  ASSERT_FALSE(installed(mediaKeys));
  EXPECT_TRUE(gnomeBindsSuperSpace("GNOME"));
  clear(wm, "switch-input-source");
  EXPECT_FALSE(gnomeBindsSuperSpace("GNOME"));
}

// The controller registers its hot key again when the desktop lets go of Super-Space.
TEST_F(GnomeShortcuts, FreeingTheShortcutRegistersTheHotKeyAgain) {
  SimpleMainQueue mainQueue;
  testing::FakeWorkspace workspace;
  auto ownHotKey = std::make_unique<testing::FakeHotKey>();
  testing::FakeHotKey& hotKey = *ownHotKey;
  QSettings settings((fs::temp_directory_path() / "jolstrand-gnome-settings.ini").c_str(),
                     QSettings::IniFormat);
  const ProgramInfo noFeed("");
  AppDelegate controller(AppDelegate::Services{
      .mainQueue = mainQueue,
      .workspace = workspace,
      .settings = settings,
      .program = noFeed,
      .arguments = {"jolstrand"},
      .screens = [] { return ScreenSnapshot{}; },
      .usageFile = (fs::temp_directory_path() / "jolstrand-gnome-usage.json").string(),
      .catalogue = std::make_unique<ScannerCatalogue>(AppScanner({}, {})),
      .hotKey = std::move(ownHotKey),
      .spotlight = makeSpotlightCheck(
          (fs::temp_directory_path() / "jolstrand-gnome-no-stand-in").string(), "ubuntu:GNOME"),
      .loginItem = std::make_unique<testing::FakeLoginItem>(),
      .updateEngine =
          [](UpdateEngineEvents& events) {
            return std::make_unique<testing::FakeUpdateEngine>(events);
          },
      .openKeyboardSettings = [] {},
  });
  EXPECT_TRUE(controller.recheckSpotlight());
  EXPECT_EQ(hotKey.registrations, 0);
  clear(wm, "switch-input-source");
  EXPECT_FALSE(controller.recheckSpotlight());
  EXPECT_EQ(hotKey.registrations, 1);
  EXPECT_EQ(controller.hotKeyStatus(), 1);
  EXPECT_FALSE(controller.recheckSpotlight());
  EXPECT_EQ(hotKey.registrations, 1);  // only the moment it goes free
}

// GNOME before portal shortcuts: the launcher's own custom shortcut beside the user's.
TEST_F(GnomeShortcuts, TheCustomShortcutComesAndGoesBesideTheUsersOwn) {
  if (onlyDesktopSchemas()) GTEST_SKIP() << "compiled without the settings daemon's schemas";
  ASSERT_TRUE(installed(customKeybinding)) << "gnome-settings-daemon-common is missing";
  const char* usersPath =
      "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/custom0/";
  const char* ownPath =
      "/org/gnome/settings-daemon/plugins/media-keys/custom-keybindings/jolstrand/";
  const SettingsHandle list(g_settings_new(mediaKeys));
  const char* usersList[] = {usersPath, nullptr};
  ASSERT_TRUE(g_settings_set_strv(list.get(), "custom-keybindings", usersList));
  const SettingsHandle users(g_settings_new_with_path(customKeybinding, usersPath));
  g_settings_set_string(users.get(), "name", "Terminal");
  g_settings_set_string(users.get(), "command", "xterm");
  g_settings_set_string(users.get(), "binding", "<Super>Return");
  g_settings_sync();
  const auto paths = [&] {
    const StringsHandle strings(g_settings_get_strv(list.get(), "custom-keybindings"));
    std::vector<std::string> all;
    for (gchar** path = strings.get(); *path != nullptr; ++path) all.emplace_back(*path);
    return all;
  };
  const auto value = [](GSettings* settings, const char* key) {
    return std::string(StringHandle(g_settings_get_string(settings, key)).get());
  };

  const auto shortcut = makeGnomeCustomShortcut(QStringLiteral("'/opt/My Apps/jolstrand'"));
  ASSERT_TRUE(shortcut->userAddsShortcut());
  EXPECT_EQ(shortcut->registerKey(), HotKeyBackend::noKey);
  ASSERT_TRUE(shortcut->addShortcut());
  ASSERT_TRUE(shortcut->addShortcut());  // twice: still one entry
  EXPECT_EQ(shortcut->registerKey(), 0);
  EXPECT_EQ(paths(), (std::vector<std::string>{usersPath, ownPath}));
  const SettingsHandle own(g_settings_new_with_path(customKeybinding, ownPath));
  EXPECT_EQ(value(own.get(), "name"), "Jolstrand");
  EXPECT_EQ(value(own.get(), "command"), "'/opt/My Apps/jolstrand'");
  EXPECT_EQ(value(own.get(), "binding"), "<Super>space");

  // The user gives it other keys in GNOME Settings.
  g_settings_set_string(own.get(), "binding", "<Primary><Alt>space");
  g_settings_sync();
  EXPECT_EQ(shortcut->registerKey(), HotKeyBackend::otherKey);
  EXPECT_EQ(shortcut->trigger(), "Ctrl+Alt+Space");

  ASSERT_TRUE(shortcut->removeShortcut());
  EXPECT_EQ(shortcut->registerKey(), HotKeyBackend::noKey);
  EXPECT_EQ(paths(), std::vector<std::string>{usersPath});
  EXPECT_EQ(value(own.get(), "binding"), "");
  EXPECT_EQ(value(users.get(), "name"), "Terminal");
  EXPECT_EQ(value(users.get(), "command"), "xterm");
  EXPECT_EQ(value(users.get(), "binding"), "<Super>Return");
  for (const char* key : {"name", "command", "binding"}) g_settings_reset(users.get(), key);
}

// Copies the installed schemas (and, unless only the desktop's are wanted, the stand-ins for
// GNOME Shell's where those are missing) into folder and compiles them there.
bool compileSchemas(const fs::path& folder) {
  const fs::path installed = JOLSTRAND_INSTALLED_SCHEMAS;
  const fs::path standIns = JOLSTRAND_SCHEMA_FIXTURES;
  const bool desktopOnly = onlyDesktopSchemas();
  std::error_code error;
  for (const auto& file : fs::directory_iterator(installed, error)) {
    const std::string name = file.path().filename().string();
    const bool isShells = name.rfind(shell, 0) == 0 || name.rfind(mediaKeys, 0) == 0;
    if (desktopOnly && isShells) continue;
    if (name.ends_with(".gschema.xml") || name.ends_with(".gschema.override")) {
      fs::copy_file(file.path(), folder / name);
    }
  }
  if (!desktopOnly) {
    for (const auto& file : fs::directory_iterator(standIns)) {
      if (!fs::exists(folder / file.path().filename())) {
        fs::copy_file(file.path(), folder / file.path().filename());
      }
    }
  }
  const std::string command = "glib-compile-schemas '" + folder.string() + "'";
  return std::system(command.c_str()) == 0;
}

}  // namespace
}  // namespace jolstrand

int main(int argc, char** argv) {
  const fs::path root =
      fs::temp_directory_path() / ("jolstrand-gsettings-" + std::to_string(getpid()));
  for (const char* folder : {"schemas", "config", "data"}) fs::create_directories(root / folder);
  if (!jolstrand::compileSchemas(root / "schemas")) {
    std::fprintf(stderr, "couldn't compile the GSettings schemas\n");
    return 1;
  }
  setenv("GSETTINGS_SCHEMA_DIR", (root / "schemas").c_str(), 1);
  setenv("GSETTINGS_BACKEND", "keyfile", 1);
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  setenv("XDG_DATA_DIRS", (root / "data").c_str(), 1);
  setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  setenv("HOME", root.c_str(), 1);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  fs::remove_all(root);
  return result;
}
