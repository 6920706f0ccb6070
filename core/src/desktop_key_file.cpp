#include "desktop_key_file.hpp"

#include "file_system.hpp"
#include "jolstrand/file_access.hpp"

namespace jolstrand::detail {

std::variant<KeyFile, std::string> loadDesktopEntry(std::string_view bytes) {
  GlibText latin1;
  if (!g_utf8_validate(bytes.data(), static_cast<gssize>(bytes.size()), nullptr)) {
    gsize written = 0;
    latin1.reset(g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", "ISO-8859-1",
                           nullptr, &written, nullptr));
    if (!latin1) return std::string("neither UTF-8 nor Latin-1");
    bytes = std::string_view(latin1.get(), written);
  }
  KeyFile file(g_key_file_new());
  GError* error = nullptr;
  if (!g_key_file_load_from_data(file.get(), bytes.data(), bytes.size(), G_KEY_FILE_NONE, &error)) {
    std::string reason = error->message;
    g_error_free(error);
    return reason;
  }
  if (!g_key_file_has_group(file.get(), desktopEntryGroup)) {
    return std::string("no [Desktop Entry] group");
  }
  return file;
}

std::variant<KeyFile, std::string> loadDesktopEntryFile(const std::string& path) {
  const auto bytes = readRegularFile(path, maxDesktopEntryBytes).bytes;
  if (!bytes) return std::string(unreadableDesktopEntry);
  return loadDesktopEntry(*bytes);
}

bool hasKey(GKeyFile* file, const char* key) {
  return g_key_file_has_key(file, desktopEntryGroup, key, nullptr) != FALSE;
}

std::string stringValue(GKeyFile* file, const char* key) {
  if (!hasKey(file, key)) return {};
  const GlibText value(g_key_file_get_string(file, desktopEntryGroup, key, nullptr));
  return value ? std::string(value.get()) : std::string();
}

std::string localeValue(GKeyFile* file, const char* key) {
  if (!hasKey(file, key)) return {};
  const GlibText value(
      g_key_file_get_locale_string(file, desktopEntryGroup, key, nullptr, nullptr));
  return value ? std::string(value.get()) : std::string();
}

bool booleanValue(GKeyFile* file, const char* key) {
  return hasKey(file, key) &&
         g_key_file_get_boolean(file, desktopEntryGroup, key, nullptr) != FALSE;
}

}  // namespace jolstrand::detail
