// Arbitrary bytes as a bundle's Info.plist: reading them and deciding the entry may never crash,
// hang or throw, whatever the format claims.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bundle_info.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto info = jolstrand::detail::parseInfoPlist(bytes);
  const auto entry = jolstrand::detail::bundleEntry("/Applications/Fuzz.app", "Fuzz.app", info);
  if (entry && entry->names().empty()) __builtin_trap();  // "Fuzz" always gives a name
  return 0;
}
