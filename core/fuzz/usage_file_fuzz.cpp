// Arbitrary bytes as the usage file: reading may never crash, hang or throw, and whatever reads
// as records writes back and reads again as the same records.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "usage_file.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace jolstrand::detail;
  const auto records = decodeUsage(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!records) return 0;
  const auto again = decodeUsage(encodeUsage(*records));
  if (!again || again->size() != records->size()) __builtin_trap();
  for (const auto& [id, record] : *records) {
    const auto found = again->find(id);
    if (found == again->end() || found->second.score != record.score ||
        found->second.updated != record.updated) {
      __builtin_trap();
    }
  }
  return 0;
}
