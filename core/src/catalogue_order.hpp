#pragma once

#include <vector>

#include "jolstrand/app_entry.hpp"

namespace jolstrand::detail {

/// The catalogue sorted stably by display name in file-list order (Tool 2 before Tool 10).
[[nodiscard]] std::vector<AppEntry> orderedCatalogue(std::vector<AppEntry> entries);

}  // namespace jolstrand::detail
