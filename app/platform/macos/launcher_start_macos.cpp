// On macOS the launcher is linked into the program inside its bundle: started directly.

#include "launcher_module.hpp"

#include <iostream>

#include "program_help.hpp"
#include "program_info.hpp"

namespace jolstrand {

int startLauncher(int argc, char** argv) {
  return jolstrand_launcher_main(argc, argv);
}

int selfTestLauncher() {
  printVersion(ProgramInfo::own(), std::cout);
  return 0;
}

}  // namespace jolstrand
