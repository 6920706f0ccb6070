#include "update_schedule.hpp"

#include <algorithm>
#include <cmath>

namespace jolstrand {

double secondsUntilUpdateCheck(double lastCheck, double startedAt, double now) {
  const double earliest = startedAt + firstUpdateCheckDelay;
  const bool never = lastCheck == 0 || !std::isfinite(lastCheck) || lastCheck > now;
  const double due = never ? earliest : std::max(lastCheck + updateCheckInterval, earliest);
  return std::max(0.0, due - now);
}

}  // namespace jolstrand
