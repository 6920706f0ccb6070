#pragma once
// Restarting into a newly installed version: the request is made while the launcher runs, the
// event loop is then quit so that everything is torn down in order (usage written, hot key and
// single-instance socket released), and the program's entry replaces the process with the new
// program as its last act.
//
// After an update, a watchdog stays behind: a process forked just before the exec, which waits
// for the new version to confirm that its launcher is up. When the exec fails, or the new program
// ends or takes longer than allowed without confirming (it is then killed), the watchdog
// exchanges the installation with the old version's folder again and starts the old program in
// its place, so that a release that cannot run here never leaves the user without a launcher.
// Main thread.

#include <string>
#include <vector>

namespace jolstrand {

/// What a restart after an update can go back to.
struct RestartRollback {
  std::string installation;  ///< the installation's folder, which now holds the new version
  std::string previous;      ///< the folder the old version was put aside in
  int confirmSeconds = 60;   ///< how long the new version may take to confirm it started
};

/// Asks for program to be started with arguments (argv[0] is program itself, arguments follow it)
/// once the launcher has quit, and quits the running QCoreApplication's event loop with a queued
/// call, so the caller returns first. A later request replaces an earlier one. With a rollback
/// whose folders are set, a watchdog guards the new version's start.
void restartAfterQuit(std::string program, std::vector<std::string> arguments,
                      RestartRollback rollback = {});

/// If a restart was asked for, replaces this process with it by execv, in the same environment and
/// with only standard input, output and error handed on (every other descriptor is made
/// close-on-exec first, except the watchdog's confirmation pipe). Returns only when there is
/// nothing to do or exec failed, logged as "couldn't restart into PROGRAM: REASON" (the watchdog
/// then puts the old version back once this process has ended). Call after the launcher has
/// returned, with nothing of Qt left alive.
void execPendingRestart();

/// Takes the watchdog's confirmation pipe, if this process was started by an update's restart,
/// out of the environment, so that nothing this process starts inherits it. Call first thing.
void takeUpdateConfirmation();

/// Tells the watchdog, if there is one, that the launcher is up. Call once the launcher holds
/// its display and its single-instance lock.
void confirmUpdateStarted();

}  // namespace jolstrand
