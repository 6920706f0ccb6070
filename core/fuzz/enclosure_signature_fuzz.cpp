// Arbitrary bytes as an update feed: finding the enclosure's signature may never crash, hang or
// throw, and what it finds is always a decoded value.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "jolstrand/release_signing.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto signature = jolstrand::ReleaseSigning::enclosureSignature(bytes);
  if (signature && signature->size() > bytes.size()) __builtin_trap();
  return 0;
}
