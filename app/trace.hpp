#pragma once
// An opt-in trace of the launcher's latencies: with JOLSTRAND_TRACE=FILE set, each measured span
// appends a line "NAME MICROSECONDS" to FILE. Costs one environment check per process when off.
// Main thread only.

namespace jolstrand::Trace {

enum class Span {
  keyToRows,      ///< a key press reaching the panel → the rows laid out
  hotKeyToPanel,  ///< the hot-key event arriving → the panel shown
  rescanInstall,  ///< the main thread's part of a rescan: installing the new catalogue
};

void begin(Span span);
/// Ends the span if it was begun; a span left open for over a second is dropped.
void end(Span span);
/// Forgets the span without recording it: what began it led to nothing to measure.
void cancel(Span span);

}  // namespace jolstrand::Trace
