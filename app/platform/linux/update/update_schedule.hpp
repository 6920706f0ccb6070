#pragma once
// When the update engine checks its feed on its own: about a minute after it starts, then once a
// day, counted from the last check of any kind, whose time the engine keeps in its settings.
// Pure; LinuxUpdateEngine sets its timer to what it says.

namespace jolstrand {

/// The wait after start before the first check, in seconds.
inline constexpr double firstUpdateCheckDelay = 60;
/// The time between two checks, in seconds.
inline constexpr double updateCheckInterval = 86400;

/// Seconds from now until the next scheduled check. lastCheck and now are in seconds since 1970;
/// lastCheck 0 (or not a finite number) means never. The answer is the rest of the interval since
/// lastCheck, but never less than the first-check delay, and never more than one interval (a last
/// check in the future, after the clock was set back, counts as one just made).
[[nodiscard]] double secondsUntilUpdateCheck(double lastCheck, double now);

}  // namespace jolstrand
