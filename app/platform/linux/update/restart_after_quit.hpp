#pragma once
// Restarting into a newly installed version: the request is made while the launcher runs, the
// event loop is then quit so that everything is torn down in order (usage written, hot key and
// single-instance socket released), and the program's entry replaces the process with the new
// program as its last act. Main thread.

#include <string>
#include <vector>

namespace jolstrand {

/// Asks for program to be started with arguments (argv[0] is program itself, arguments follow it)
/// once the launcher has quit, and quits the running QCoreApplication's event loop with a queued
/// call, so the caller returns first. A later request replaces an earlier one.
void restartAfterQuit(std::string program, std::vector<std::string> arguments);

/// If a restart was asked for, replaces this process with it by execv, in the same environment and
/// with only standard input, output and error handed on (every other descriptor is made
/// close-on-exec first). Returns only when there is nothing to do or exec failed, logged as
/// "couldn't restart into PROGRAM: REASON". Call after the launcher has returned, with nothing of
/// Qt left alive.
void execPendingRestart();

}  // namespace jolstrand
