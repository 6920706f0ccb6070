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

std::variant<KeyFile, std::string> loadKeyFile(const std::string& path, char separator) {
  const FileContents contents = readRegularFile(path, maxDesktopEntryBytes);
  if (!contents.bytes) return contents.error;
  KeyFile file(g_key_file_new());
  g_key_file_set_list_separator(file.get(), separator);
  GError* error = nullptr;
  if (!g_key_file_load_from_data(file.get(), contents.bytes->data(), contents.bytes->size(),
                                 G_KEY_FILE_NONE, &error)) {
    std::string reason = path + ": " + error->message;
    g_error_free(error);
    return reason;
  }
  return file;
}

bool hasKey(GKeyFile* file, const char* key) {
  return g_key_file_has_key(file, desktopEntryGroup, key, nullptr) != FALSE;
}

std::string stringValue(GKeyFile* file, const char* key) {
  if (!hasKey(file, key)) return {};
  const GlibText value(g_key_file_get_string(file, desktopEntryGroup, key, nullptr));
  return value ? std::string(value.get()) : std::string();
}

namespace {

std::string_view withoutSpaceAround(std::string_view text) {
  const auto isSpace = [](const char* at) { return g_unichar_isspace(g_utf8_get_char(at)); };
  while (!text.empty() && isSpace(text.data())) {
    text.remove_prefix(static_cast<std::size_t>(g_utf8_next_char(text.data()) - text.data()));
  }
  while (!text.empty()) {
    const char* last = g_utf8_find_prev_char(text.data(), text.data() + text.size());
    if (last == nullptr || !isSpace(last)) break;
    text.remove_suffix(static_cast<std::size_t>(text.data() + text.size() - last));
  }
  return text;
}

std::vector<std::string> listItems(GKeyFile* file, const std::string& key) {
  std::vector<std::string> items;
  if (!hasKey(file, key.c_str())) return items;
  const GlibTextList values(
      g_key_file_get_string_list(file, desktopEntryGroup, key.c_str(), nullptr, nullptr));
  for (char** value = values.get(); value != nullptr && *value != nullptr; ++value) {
    if (const std::string_view item = withoutSpaceAround(*value); !item.empty()) {
      items.emplace_back(item);
    }
  }
  return items;
}

// The first value that is not empty among the key's translations into the user's languages,
// then the key itself; GLib's own choice stops at a translation that is present but empty.
template <class Read>
auto firstInUsersLanguages(const char* key, Read read) {
  for (const gchar* const* language = g_get_language_names(); *language != nullptr; ++language) {
    if (std::string_view(*language) == "C") break;
    auto value = read(std::string(key) + '[' + *language + ']');
    if (!value.empty()) return value;
  }
  return read(std::string(key));
}

}  // namespace

std::string localeValue(GKeyFile* file, const char* key) {
  return firstInUsersLanguages(
      key, [&](const std::string& name) { return stringValue(file, name.c_str()); });
}

std::vector<std::string> localeList(GKeyFile* file, const char* key) {
  return firstInUsersLanguages(key, [&](const std::string& name) { return listItems(file, name); });
}

bool booleanValue(GKeyFile* file, const char* key) {
  return hasKey(file, key) &&
         g_key_file_get_boolean(file, desktopEntryGroup, key, nullptr) != FALSE;
}

}  // namespace jolstrand::detail
