#pragma once
// When the update engine checks its feed on its own: about a minute after it starts, then once a
// day by the wall clock, counted from the last check of any kind, whose time the engine keeps in
// its settings. Pure; LinuxUpdateEngine sets its timer to what it says.

namespace jolstrand {

/// The wait after start before the first check, in seconds.
inline constexpr double firstUpdateCheckDelay = 60;
/// The time between two checks, in seconds.
inline constexpr double updateCheckInterval = 86400;
/// The longest the engine's timer runs before it looks at the clock again, in seconds, so that
/// time spent suspended counts towards the next check.
inline constexpr double updateTimerLimit = 3600;

/// Seconds from now until the next scheduled check, 0 once it is due: a day after lastCheck, but
/// never sooner than the first-check delay after startedAt. Times are in seconds since 1970; a
/// lastCheck of 0, not a finite number, or later than now (the clock was set back) counts as
/// never.
[[nodiscard]] double secondsUntilUpdateCheck(double lastCheck, double startedAt, double now);

}  // namespace jolstrand
