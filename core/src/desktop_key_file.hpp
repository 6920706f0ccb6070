#pragma once
// A desktop entry file loaded into a GLib key file, with owning handles for what GLib hands
// out. Linux only.

#include <glib.h>

#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jolstrand::detail {

struct GFreeDeleter {
  void operator()(void* pointer) const { g_free(pointer); }
};
struct GStrvDeleter {
  void operator()(char** strings) const { g_strfreev(strings); }
};
struct KeyFileDeleter {
  void operator()(GKeyFile* file) const { g_key_file_free(file); }
};

using GlibText = std::unique_ptr<char, GFreeDeleter>;
using GlibTextList = std::unique_ptr<char*, GStrvDeleter>;
using KeyFile = std::unique_ptr<GKeyFile, KeyFileDeleter>;

inline constexpr const char* desktopEntryGroup = "Desktop Entry";
/// Larger files are not desktop entries.
inline constexpr std::size_t maxDesktopEntryBytes = 1 << 20;
inline constexpr const char* unreadableDesktopEntry = "unreadable, or larger than 1 MiB";

/// The bytes as a key file with a [Desktop Entry] group, or why they are not one. Bytes that
/// are not UTF-8 are read as Latin-1, the encoding of old entries.
[[nodiscard]] std::variant<KeyFile, std::string> loadDesktopEntry(std::string_view bytes);

/// The whole file at path loaded as above, or why it cannot be.
[[nodiscard]] std::variant<KeyFile, std::string> loadDesktopEntryFile(const std::string& path);

/// Any key file at path (a regular file of at most 1 MiB, in UTF-8) whose lists are separated
/// by separator, or why it cannot be read.
[[nodiscard]] std::variant<KeyFile, std::string> loadKeyFile(const std::string& path,
                                                             char separator);

/// Whether the [Desktop Entry] group has the key. Ask before reading a value: GLib words an
/// error for every absent key it is asked for, even when nobody reads it, and most keys are
/// absent from most entries.
[[nodiscard]] bool hasKey(GKeyFile* file, const char* key);
/// A value of the [Desktop Entry] group with the escapes undone; empty when absent.
[[nodiscard]] std::string stringValue(GKeyFile* file, const char* key);
/// The same in the first of the user's languages (as GLib lists them) for which the file has a
/// value that is not empty, else the untranslated value.
[[nodiscard]] std::string localeValue(GKeyFile* file, const char* key);
/// A list value (items separated by ';') chosen by language as above, each item without white
/// space at either end (U+00A0 and U+202F too, which French lists put before the ';'), empty
/// items left out.
[[nodiscard]] std::vector<std::string> localeList(GKeyFile* file, const char* key);
/// A boolean value; false when absent or not a boolean.
[[nodiscard]] bool booleanValue(GKeyFile* file, const char* key);

}  // namespace jolstrand::detail
