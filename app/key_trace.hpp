#pragma once
// An opt-in trace of typing latency: with JOLSTRAND_TRACE_KEYS=FILE set, the time from a key
// press reaching the panel to the rows being laid out is appended to FILE, in microseconds, one
// line per key. Costs one environment check per process when off. Main thread only.

namespace jolstrand::KeyTrace {

void keyPressed();
void rowsLaidOut();

}  // namespace jolstrand::KeyTrace
