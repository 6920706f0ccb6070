#pragma once
// Named pipes in place of files that other programs control, and a watchdog that turns a read
// blocked on such a pipe into a failed check instead of a test run that never ends.

#include <functional>
#include <string>

namespace jolstrand::testing {

/// Creates a named pipe at path; returns path.
std::string makeNamedPipe(const std::string& path);

/// Runs work on another thread and answers whether it finished within a few seconds. If it did
/// not, it is taken to be blocked on the pipe: the pipe is opened and closed again until the
/// work ends, so the caller can still clean up, and the answer is false.
[[nodiscard]] bool finishesWithoutWaitingOn(const std::string& pipe,
                                            const std::function<void()>& work);

}  // namespace jolstrand::testing
