#pragma once

#include <string>
#include <unordered_map>

namespace jolstrand {

/// Decayed launch scores by entry id, as the usage store reports them and the matcher ranks by.
using UsageScores = std::unordered_map<std::string, double>;

}  // namespace jolstrand
