#pragma once
// An opt-in trace of the launcher's latencies: once traceTo(FILE) has named a file, each
// measured span appends a line "NAME MICROSECONDS" to it. Costs one check per span when off.
// Main thread only.

#include <string>

namespace jolstrand::Trace {

enum class Span {
  keyToRows,      ///< a key press reaching the panel → the rows laid out
  hotKeyToPanel,  ///< the hot-key event arriving → the panel shown
  rescanInstall,  ///< the main thread's part of a rescan: installing the new catalogue
};

/// Starts tracing to the file at path (appending); an empty path leaves tracing off.
void traceTo(const std::string& path);

void begin(Span span);
/// Ends the span if it was begun; a span left open for over a second is dropped.
void end(Span span);
/// Forgets the span without recording it: what began it led to nothing to measure.
void cancel(Span span);

}  // namespace jolstrand::Trace
