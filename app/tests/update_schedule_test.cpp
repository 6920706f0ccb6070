#include "platform/linux/update/update_schedule.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace jolstrand {

namespace {

constexpr double start = 1'800'000'000;
constexpr double hour = 3600;
constexpr double day = 86400;

struct Row {
  const char* when;
  double lastCheck;
  double now;
  double expected;
};

const Row table[] = {
    // At start: the rest of the day since the last check, but at least a minute.
    {"never checked", 0, start, 60},
    {"a stored value that is not a time", std::numeric_limits<double>::quiet_NaN(), start, 60},
    {"infinitely long ago", -std::numeric_limits<double>::infinity(), start, 60},
    {"an hour before start", start - hour, start, day - hour},
    {"a minute short of a day before start", start - day + 60, start, 60},
    {"half a minute short of a day before start", start - day + 30, start, 60},
    {"a week before start", start - 7 * day, start, 60},
    {"an hour after now, the clock set back", start + hour, start, 60},
    // Later: the wall clock counts, suspended time included.
    {"never checked, half a minute after start", 0, start + 30, 30},
    {"never checked, a minute after start", 0, start + 60, 0},
    {"never checked, an hour after start", 0, start + hour, 0},
    {"just now", start + hour, start + hour, day},
    {"a day before now", start + hour, start + hour + day, 0},
    {"an hour short of a day before now", start + hour, start + day, hour},
    {"checked, then the clock set back", start + day, start + hour, 0},
};

TEST(UpdateSchedule, WaitsForTheRestOfTheDayButAtLeastAMinuteAfterStart) {
  for (const Row& row : table) {
    SCOPED_TRACE(row.when);
    EXPECT_EQ(secondsUntilUpdateCheck(row.lastCheck, start, row.now), row.expected);
  }
}

}  // namespace
}  // namespace jolstrand
