#include "catalogue_order.hpp"

#include <algorithm>
#include <numeric>

#include "jolstrand/collation.hpp"

namespace jolstrand::detail {

std::vector<AppEntry> orderedCatalogue(std::vector<AppEntry> entries) {
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (const AppEntry& entry : entries) keys.push_back(localizedSortKey(entry.displayName()));
  std::vector<std::size_t> order(entries.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
  std::vector<AppEntry> sorted;
  sorted.reserve(entries.size());
  for (const std::size_t i : order) sorted.push_back(std::move(entries[i]));
  return sorted;
}

}  // namespace jolstrand::detail
