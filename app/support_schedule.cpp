#include "support_schedule.hpp"

#include <cmath>

namespace jolstrand {

SupportCheck supportCheck(bool supported, double remindAt, double now, bool force, bool busy) {
  if (!force) {
    if (supported) return SupportCheck::wait;
    if (remindAt == 0 || !std::isfinite(remindAt)) return SupportCheck::schedule;
    if (now < remindAt) return SupportCheck::wait;
  }
  return busy ? SupportCheck::wait : SupportCheck::show;
}

}  // namespace jolstrand
