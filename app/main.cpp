// Jolstrand: a keyboard launcher. With --list or --query it is a diagnostic command-line tool
// that needs no display, as with --icons; --help and --version answer at once; otherwise it
// starts the launcher.

#include <iostream>
#include <string>
#include <vector>

#include "command_line.hpp"
#include "environment.hpp"
#include "jolstrand/collation.hpp"
#include "launcher_module.hpp"
#include "program_arguments.hpp"
#include "program_help.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  const jolstrand::ProgramChoice choice = jolstrand::chooseMode(args);
  switch (choice.mode) {
    case jolstrand::ProgramMode::launcher:
      return jolstrand::startLauncher(argc, argv);
    case jolstrand::ProgramMode::help:
      jolstrand::printHelp(std::cout);
      return 0;
    case jolstrand::ProgramMode::selfTest:
      return jolstrand::selfTestLauncher();
    case jolstrand::ProgramMode::version:
      jolstrand::printVersion(jolstrand::ProgramInfo::own(), std::cout);
      return 0;
    case jolstrand::ProgramMode::refused:
      std::cerr << "jolstrand: " << choice.problem << '\n';
      jolstrand::printUsage(std::cerr);
      return 2;
    case jolstrand::ProgramMode::commandLine:
    case jolstrand::ProgramMode::icons:
      break;
  }
  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Collator::useForProcess(environment.locale);
  if (choice.mode == jolstrand::ProgramMode::icons) {
    return jolstrand::runIcons(std::get<jolstrand::IconsRequest>(*jolstrand::iconsRequest(args)),
                               environment, std::cout);
  }
  return jolstrand::runCommandLine(args, environment, std::cout);
}
