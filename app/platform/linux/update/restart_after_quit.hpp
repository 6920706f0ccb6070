#pragma once
// Restarting into a newly installed version: the request is made while the launcher runs, the
// event loop is then quit so that everything is torn down in order (usage written, hot key and
// single-instance socket released), and the program's entry replaces the process with the new
// program as its last act. Main thread.

#include <string>
#include <vector>

namespace jolstrand {

/// Asks for program to be started with arguments once the launcher has quit, and quits it.
void restartAfterQuit(std::string program, std::vector<std::string> arguments);

/// If a restart was asked for, replaces this process with it (returns only when that fails,
/// after logging why). Call after the launcher has returned, with nothing of Qt left alive.
void execPendingRestart();

}  // namespace jolstrand
