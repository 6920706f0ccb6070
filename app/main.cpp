// Jolstrand: a keyboard launcher. With --list or --query it is a diagnostic command-line tool
// that needs no display; otherwise it starts the launcher.

#include <iostream>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "environment.hpp"
#include "jolstrand/collation.hpp"
#include "launcher.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Collator::useForProcess(environment.locale);
  if (jolstrand::wantsCommandLine(args)) {
    return jolstrand::runCommandLine(args, environment, std::cout);
  }
  return jolstrand::runLauncher(argc, argv, environment);
}
