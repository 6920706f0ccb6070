#pragma once
// Catalogues of made-up applications whose names look like real ones, for benchmarks.

#include <cstddef>
#include <string>
#include <vector>

#include "jolstrand/app_entry.hpp"
#include "jolstrand/usage_scores.hpp"

namespace jolstrand::bench {

struct SyntheticName {
  std::string displayName;
  std::vector<std::string> otherNames;
};

/// count names, the same for the same count: one to four words, camelCase and capital runs,
/// digits, accents, some CJK and full-width names, one or two other names each.
std::vector<SyntheticName> syntheticNames(std::size_t count);

std::vector<AppEntry> syntheticCatalogue(std::size_t count);

/// Scores for about one entry in ten.
UsageScores syntheticUsage(const std::vector<AppEntry>& entries);

}  // namespace jolstrand::bench
