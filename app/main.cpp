// Jolstrand: a keyboard launcher. With --list or --query it is a diagnostic command-line tool
// that needs no display; otherwise it starts the launcher.

#include <iostream>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "environment.hpp"
#include "jolstrand/collation.hpp"
#include "launcher.hpp"
#ifndef __APPLE__
#include "platform/linux/update/restart_after_quit.hpp"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Collator::useForProcess(environment.locale);
  if (jolstrand::wantsCommandLine(args)) {
    return jolstrand::runCommandLine(args, environment, std::cout);
  }
  const int status = jolstrand::runLauncher(argc, argv, environment);
#ifndef __APPLE__
  // After an update: the launcher has let go of everything (window system, hot key, the
  // single-instance lock and socket), so the new version can start in this process's place.
  jolstrand::execPendingRestart();
#endif
  return status;
}
