#pragma once
// The program's own Info.plist: its identifier, version, build number, copyright and update keys.
// On macOS it is the main bundle's Contents/Info.plist; elsewhere the same generated file is
// compiled into the program as a resource. A missing key, or one whose value is not text, reads
// as absent; an unreadable or malformed property list reads as having no keys. Immutable, so any
// thread may read it.

#include <optional>
#include <string>
#include <string_view>

#include "jolstrand/property_list.hpp"

namespace jolstrand {

class ProgramInfo {
 public:
  /// The keys of the property list in the bytes (XML or binary).
  explicit ProgramInfo(std::string_view plistBytes);

  /// This program's own Info.plist, read once.
  [[nodiscard]] static const ProgramInfo& own();

  /// The text under the key, or none when it is missing or not text.
  [[nodiscard]] std::optional<std::string> value(std::string_view key) const;

 private:
  PropertyListValue::Dictionary keys_;
};

/// The bytes of this program's own Info.plist, or none when it cannot be read. One per platform.
[[nodiscard]] std::optional<std::string> ownInfoPlistBytes();

}  // namespace jolstrand
