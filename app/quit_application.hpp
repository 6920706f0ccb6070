#pragma once
// Quitting the launcher: every event loop ends, a modal alert's included, without asking any
// window whether it may close, so that no open window or alert can refuse or delay it. What is
// torn down after the loops (queued usage saves) still completes. Main thread.

namespace jolstrand {

void quitApplication();

}  // namespace jolstrand
