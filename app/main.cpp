// Jolstrand: a keyboard launcher. With --list or --query it is a diagnostic command-line tool
// that needs no display; otherwise it starts the launcher.

#include <iostream>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "environment.hpp"
#include "jolstrand/collation.hpp"
#include "launcher_module.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  if (!jolstrand::wantsCommandLine(args)) return jolstrand::startLauncher(argc, argv);
  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Collator::useForProcess(environment.locale);
  return jolstrand::runCommandLine(args, environment, std::cout);
}
