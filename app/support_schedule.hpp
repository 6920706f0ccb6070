#pragma once
// When the support reminder shows: a decision over the two stored values ("supported" and
// "supportRemindAt"), the time, the --support-reminder flag and whether the owner is busy. Pure;
// SupportReminder stores and shows what it says.

namespace jolstrand {

/// Ten days, in seconds: the time from an answer (or a first launch) to the next reminder.
inline constexpr double supportReminderPeriod = 864000;

enum class SupportCheck {
  wait,      // nothing to do now
  schedule,  // no reminder scheduled yet: store now + the period, show nothing
  show,      // show the alert
};

/// Unless forced: supported → wait; remindAt 0 (or not a finite number) → schedule; now before
/// remindAt → wait. Then busy → wait; else show. now and remindAt in seconds since 1970.
[[nodiscard]] SupportCheck supportCheck(bool supported, double remindAt, double now, bool force,
                                        bool busy);

}  // namespace jolstrand
