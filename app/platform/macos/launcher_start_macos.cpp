// On macOS the launcher is linked into the program inside its bundle: started directly.

#include "launcher_module.hpp"

namespace jolstrand {

int startLauncher(int argc, char** argv) {
  return jolstrand_launcher_main(argc, argv);
}

}  // namespace jolstrand
