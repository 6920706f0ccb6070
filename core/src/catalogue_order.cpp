#include "catalogue_order.hpp"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "icu_text.hpp"
#include "jolstrand/app_scanner.hpp"
#include "jolstrand/collation.hpp"

namespace jolstrand {
namespace {

// The path in canonically composed form: its UTF-8 byte order is code-point order.
std::string composed(const std::string& path) {
  if (detail::isAscii(path)) return path;
  return detail::encodeUtf8(detail::normalized(detail::decodeUtf8(path)));
}

// Whether the challenger replaces the holder of a duplicate key: a lower rank, else a shorter
// path, else the path that comes first.
bool replaces(const AppScanner::Collected& challenger, const AppScanner::Collected& holder) {
  if (challenger.rank != holder.rank) return challenger.rank < holder.rank;
  const std::size_t challengerLength = characters(challenger.entry.path()).size();
  const std::size_t holderLength = characters(holder.entry.path()).size();
  if (challengerLength != holderLength) return challengerLength < holderLength;
  return composed(challenger.entry.path()) < composed(holder.entry.path());
}

}  // namespace

std::vector<AppEntry> AppScanner::dedupe(const std::vector<Collected>& collected) {
  std::vector<const Collected*> survivors;  // in order of first appearance of their key
  std::unordered_map<std::string, std::size_t> survivorOfKey;
  for (const Collected& pair : collected) {
    // The leading kind keeps a desktop entry and a bundle apart even when id and name agree.
    std::string key =
        (pair.desktopEntry ? "d" : "b") + pair.entry.id() + '\n' + fold(pair.entry.displayName());
    const auto [slot, inserted] = survivorOfKey.try_emplace(std::move(key), survivors.size());
    if (inserted) {
      survivors.push_back(&pair);
    } else if (replaces(pair, *survivors[slot->second])) {
      survivors[slot->second] = &pair;
    }
  }
  std::unordered_map<std::string_view, int> idCounts;
  for (const Collected* survivor : survivors) ++idCounts[survivor->entry.id()];

  std::vector<AppEntry> entries;
  entries.reserve(survivors.size());
  for (const Collected* survivor : survivors) {
    const AppEntry& entry = survivor->entry;
    entries.push_back(idCounts[entry.id()] > 1 ? entry.withID(entry.id() + ' ' + entry.path())
                                               : entry);
  }
  return entries;
}

namespace detail {

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

}  // namespace detail
}  // namespace jolstrand
