#include "update_schedule.hpp"

#include <algorithm>
#include <cmath>

namespace jolstrand {

double secondsUntilUpdateCheck(double lastCheck, double now) {
  if (lastCheck == 0 || !std::isfinite(lastCheck) || !std::isfinite(now))
    return firstUpdateCheckDelay;
  const double due = lastCheck + updateCheckInterval - now;
  return std::clamp(due, firstUpdateCheckDelay, updateCheckInterval);
}

}  // namespace jolstrand
