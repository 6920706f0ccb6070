// Arbitrary bytes as application names and queries: nothing may crash, hang or throw.
// Input: names and queries separated by NUL bytes; the first piece is the query, the rest are
// display names, each followed by one other name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jolstrand/matcher.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start <= input.size()) {
    const std::size_t end = std::min(input.find('\0', start), input.size());
    pieces.push_back(input.substr(start, end - start));
    start = end + 1;
  }
  const std::string_view query = pieces.front();

  std::vector<jolstrand::AppEntry> entries;
  jolstrand::UsageScores usage;
  for (std::size_t i = 1; i < pieces.size(); i += 2) {
    const std::string id = "id" + std::to_string(i);
    std::vector<std::string> others;
    if (i + 1 < pieces.size()) others.emplace_back(pieces[i + 1]);
    entries.emplace_back(id, "/A.app", std::string(pieces[i]), others);
    if (i % 3 == 1) usage[id] = static_cast<double>(i);
  }
  const jolstrand::Matcher matcher(std::move(entries));
  for (const auto& match : matcher.search(query, usage, 9)) {
    if (match.nameLength < 0) __builtin_trap();
  }
  (void)jolstrand::toUtf8(jolstrand::characters(query));
  (void)jolstrand::splitWords(query);
  return 0;
}
