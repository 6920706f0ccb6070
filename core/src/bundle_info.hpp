#pragma once
// What the catalogue reads from an application's Info.plist, and the entry it makes of it.
// The bytes come from other applications: any content, however malformed, reads as some
// (possibly empty) BundleInfo and never crashes.

#include <optional>
#include <string>
#include <string_view>

#include "jolstrand/app_entry.hpp"

namespace jolstrand::detail {

struct BundleInfo {
  std::optional<std::string> identifier;   ///< CFBundleIdentifier, when a string
  std::optional<std::string> displayName;  ///< CFBundleDisplayName, when a string
  std::optional<std::string> bundleName;   ///< CFBundleName, when a string
  std::optional<std::string> executable;   ///< CFBundleExecutable, when a string
  std::optional<std::string> iconFile;     ///< CFBundleIconFile, when a string
  bool backgroundOnly = false;             ///< LSBackgroundOnly reads as true (true or 1)
};

/// Parses an XML or binary property list; anything but a dictionary at the top reads as empty.
[[nodiscard]] BundleInfo parseInfoPlist(std::string_view bytes);

/// The Info.plist of the bundle at path, read as the catalogue reads it (empty when unreadable).
[[nodiscard]] BundleInfo readBundleInfo(const std::string& bundlePath);

/// The entry for a bundle found at `at` and shown as `shownName`, or none when it is
/// background-only.
[[nodiscard]] std::optional<AppEntry> bundleEntry(const std::string& at, std::string shownName,
                                                  const BundleInfo& info);

/// Whether a file name ends in ".app" in any letter case: an application bundle's name.
[[nodiscard]] bool endsWithAppExtension(std::string_view name);

}  // namespace jolstrand::detail
