#include "plist_reader.hpp"

#include "binary_plist_check.hpp"

namespace jolstrand::detail {

Plist parsePropertyList(std::string_view bytes) {
  if (bytes.empty() || bytes.size() > maxPropertyListBytes) return nullptr;
  const auto length = static_cast<uint32_t>(bytes.size());
  plist_t parsed = nullptr;
  if (plist_is_binary(bytes.data(), length) != 0) {
    if (!isTameBinaryPlist(bytes))
      return nullptr;  // the parser would recurse or expand without end
    plist_from_bin(bytes.data(), length, &parsed);
  } else {
    plist_from_xml(bytes.data(), length, &parsed);
  }
  return Plist(parsed);
}

}  // namespace jolstrand::detail
