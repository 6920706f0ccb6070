#include "platform/linux/xdg_autostart_login_item.hpp"

#include <glib.h>

#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <variant>

#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/file_access.hpp"

namespace jolstrand {
namespace {

constexpr const char* entryGroup = "Desktop Entry";

struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

// Whether the desktop has been told not to start the entry.
bool isHidden(const std::string& path) {
  const std::unique_ptr<GKeyFile, KeyFileDeleter> file(g_key_file_new());
  if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_NONE, nullptr)) return false;
  const auto boolean = [&](const char* key, bool absent) {
    if (!g_key_file_has_key(file.get(), entryGroup, key, nullptr)) return absent;
    return g_key_file_get_boolean(file.get(), entryGroup, key, nullptr) != FALSE;
  };
  return boolean("Hidden", false) || !boolean("X-GNOME-Autostart-enabled", true);
}

// Whether the entry's command starts the program (an entry left by a copy that has since moved
// starts another, or nothing).
bool startsProgram(const std::string& path, const std::string& program) {
  const auto launch = readDesktopLaunch(path);
  const auto* command = std::get_if<DesktopLaunch>(&launch);
  return command != nullptr && !command->arguments.empty() && command->arguments.front() == program;
}

bool isUtf8(const std::string& text) {
  return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr) != FALSE;
}

// Text as a desktop-entry string value: backslashes doubled.
std::string stringValue(const std::string& text) {
  std::string value;
  for (const char c : text) {
    if (c == '\\') value += '\\';
    value += c;
  }
  return value;
}

// The program as one Exec argument: quoted with the Exec line's escapes when it has a reserved
// character, then with the string escapes every desktop-entry value takes (backslashes doubled).
std::string execArgument(const std::string& program) {
  constexpr std::string_view reserved = " \t\"'\\><~|&;$*?#()`";
  std::string quoted;
  if (program.find_first_of(reserved) == std::string::npos) {
    quoted = program;
  } else {
    quoted = "\"";
    for (const char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
      quoted += c;
    }
    quoted += '"';
  }
  std::string value;
  for (const char c : quoted) {
    if (c == '%') value += '%';  // a literal percent sign, not a field code
    value += c;
  }
  return stringValue(value);
}

QString describe(const std::error_code& error) {
  return QString::fromStdString(error.message());
}

}  // namespace

std::optional<std::string> autostartEntry(const std::string& program) {
  if (program.empty() || program.front() != '/' || !isUtf8(program)) return std::nullopt;
  for (const char c : program) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return std::nullopt;
  }
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Jolstrand\n"
         "Comment=Open applications by typing part of their name\n"
         "Exec=" +
         execArgument(program) +
         "\n"
         // Once the program is gone (the package removed), the session no longer tries it.
         "TryExec=" +
         stringValue(program) +
         "\n"
         "Terminal=false\n"
         "StartupNotify=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

XdgAutostartLoginItem::XdgAutostartLoginItem(std::string configHome, std::string program)
    : configHome_(std::move(configHome)), program_(std::move(program)) {}

std::string XdgAutostartLoginItem::entryPath() const {
  return configHome_ + "/autostart/org.jolstrand.Jolstrand.desktop";
}

QString XdgAutostartLoginItem::place() const {
  return QString::fromStdString(std::filesystem::path(entryPath()).parent_path().string());
}

LoginItemStatus XdgAutostartLoginItem::status() {
  const std::string path = entryPath();
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || isHidden(path) ||
      !startsProgram(path, program_)) {
    return LoginItemStatus::NotRegistered;
  }
  return LoginItemStatus::Enabled;
}

std::optional<QString> XdgAutostartLoginItem::enable() {
  if (!isUtf8(program_)) {
    return QStringLiteral(
               "The program's path %1 is not valid UTF-8, so an autostart entry cannot name it.")
        .arg(QString::fromLocal8Bit(program_));
  }
  const std::optional<std::string> entry = autostartEntry(program_);
  if (!entry) {
    return QStringLiteral("The program's path %1 cannot be started from an autostart entry.")
        .arg(QString::fromStdString(program_));
  }
  const std::filesystem::path folder = std::filesystem::path(entryPath()).parent_path();
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return QStringLiteral("Couldn't create the folder %1: %2")
        .arg(QString::fromStdString(folder.string()), describe(error));
  }
  if (const std::optional<std::string> failure = writeFileAtomically(entryPath(), *entry)) {
    return QStringLiteral("Couldn't write %1: %2")
        .arg(QString::fromStdString(entryPath()), QString::fromStdString(*failure));
  }
  return std::nullopt;
}

std::optional<QString> XdgAutostartLoginItem::disable() {
  std::error_code error;
  std::filesystem::remove(entryPath(), error);
  if (error) {
    return QStringLiteral("Couldn't remove %1: %2")
        .arg(QString::fromStdString(entryPath()), describe(error));
  }
  return std::nullopt;
}

std::unique_ptr<LoginItem> makeLoginItem(std::string configHome, std::string program) {
  return std::make_unique<XdgAutostartLoginItem>(std::move(configHome), std::move(program));
}

}  // namespace jolstrand
