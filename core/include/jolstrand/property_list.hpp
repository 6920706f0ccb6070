#pragma once
// Reading a property list (XML or binary) into plain values, for preference files and the
// program's own Info.plist. Inputs above 1 MiB, malformed ones and hostile binary object graphs
// read as nothing; values nested deeper than 64 levels read as empty.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace jolstrand {

struct PropertyListValue {
  using Array = std::vector<PropertyListValue>;
  using Dictionary = std::map<std::string, PropertyListValue>;
  /// Data and dates read as empty; booleans, integers and reals keep their kind.
  std::variant<std::monostate, bool, std::int64_t, double, std::string, Array, Dictionary> value;
};

/// The property list in the bytes, or none when they cannot be parsed.
[[nodiscard]] std::optional<PropertyListValue> readPropertyList(std::string_view bytes);

/// The property list in the file, or none when it cannot be read or parsed.
[[nodiscard]] std::optional<PropertyListValue> readPropertyListFile(const std::string& path);

}  // namespace jolstrand
