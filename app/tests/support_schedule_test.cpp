#include "support_schedule.hpp"

#include <gtest/gtest.h>

#include <limits>

namespace jolstrand {
namespace {

constexpr double now = 1'800'000'000;
constexpr double past = now - 1;
constexpr double future = now + 1;

struct Row {
  bool supported;
  double remindAt;
  bool force;
  bool busy;
  SupportCheck expected;
};

// Every combination of the five inputs, the moment taken as never set, past, now and future.
const Row table[] = {
    // Not supported, not forced: the schedule decides, then the owner's busy test.
    {false, 0, false, false, SupportCheck::schedule},
    {false, 0, false, true, SupportCheck::schedule},
    {false, past, false, false, SupportCheck::show},
    {false, past, false, true, SupportCheck::wait},
    {false, now, false, false, SupportCheck::show},
    {false, now, false, true, SupportCheck::wait},
    {false, future, false, false, SupportCheck::wait},
    {false, future, false, true, SupportCheck::wait},
    // Supported: reminders have stopped for good.
    {true, 0, false, false, SupportCheck::wait},
    {true, past, false, false, SupportCheck::wait},
    {true, now, false, false, SupportCheck::wait},
    {true, future, false, false, SupportCheck::wait},
    {true, past, false, true, SupportCheck::wait},
    // Forced: past the schedule and the answer, never past busy.
    {false, 0, true, false, SupportCheck::show},
    {false, 0, true, true, SupportCheck::wait},
    {false, future, true, false, SupportCheck::show},
    {false, future, true, true, SupportCheck::wait},
    {true, 0, true, false, SupportCheck::show},
    {true, future, true, false, SupportCheck::show},
    {true, future, true, true, SupportCheck::wait},
    {true, past, true, false, SupportCheck::show},
};

TEST(SupportCheck, FollowsTheScheduleThenTheBusyTest) {
  for (const Row& row : table) {
    SCOPED_TRACE(testing::Message()
                 << "supported " << row.supported << " remindAt " << row.remindAt - now
                 << " from now, force " << row.force << " busy " << row.busy);
    EXPECT_EQ(supportCheck(row.supported, row.remindAt, now, row.force, row.busy), row.expected);
  }
}

TEST(SupportCheck, TreatsAMomentThatIsNoNumberAsNeverScheduled) {
  EXPECT_EQ(supportCheck(false, std::numeric_limits<double>::quiet_NaN(), now, false, false),
            SupportCheck::schedule);
  EXPECT_EQ(supportCheck(false, std::numeric_limits<double>::infinity(), now, false, false),
            SupportCheck::schedule);
  EXPECT_EQ(supportReminderPeriod, 10 * 24 * 60 * 60);
}

}  // namespace
}  // namespace jolstrand
