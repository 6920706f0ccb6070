#pragma once
// Writes application bundles' Info.plist files, XML or binary: for test fixtures and the demo
// catalogue.

#include <optional>
#include <string>
#include <variant>

namespace jolstrand::tools {

/// The keys of an Info.plist; unset keys are left out.
struct InfoPlist {
  std::optional<std::string> identifier;
  std::optional<std::string> displayName;
  std::optional<std::string> name;
  std::variant<std::monostate, bool, long, std::string> backgroundOnly;
  bool binary = false;
  std::optional<std::string> executable;
};

/// The bytes of the Info.plist.
[[nodiscard]] std::string infoPlistBytes(const InfoPlist& info);

}  // namespace jolstrand::tools
