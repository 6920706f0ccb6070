#include "platform/linux/update/update_schedule.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace jolstrand {
namespace {

constexpr double now = 1'800'000'000;
constexpr double hour = 3600;
constexpr double day = 86400;

struct Row {
  const char* when;
  double lastCheck;
  double expected;
};

const Row table[] = {
    {"never checked", 0, 60},
    {"a stored value that is not a time", std::numeric_limits<double>::quiet_NaN(), 60},
    {"infinitely long ago", -std::numeric_limits<double>::infinity(), 60},
    {"just now", now, day},
    {"an hour ago", now - hour, day - hour},
    {"a minute short of a day ago", now - day + 60, 60},
    {"half a minute short of a day ago", now - day + 30, 60},
    {"exactly a day ago", now - day, 60},
    {"a week ago", now - 7 * day, 60},
    {"an hour from now, after the clock was set back", now + hour, day},
    {"a year from now", now + 365 * day, day},
};

TEST(UpdateSchedule, WaitsForTheRestOfTheDayButAtLeastAMinute) {
  for (const Row& row : table) {
    SCOPED_TRACE(row.when);
    EXPECT_EQ(secondsUntilUpdateCheck(row.lastCheck, now), row.expected);
  }
}

}  // namespace
}  // namespace jolstrand
