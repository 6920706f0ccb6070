// The launcher module's entry (see launcher_module.hpp). The module has its own copy of the core
// library, so it sets up the process-wide collation itself.

#include "environment.hpp"
#include "jolstrand/collation.hpp"
#include "launcher.hpp"
#include "launcher_module.hpp"
#include "program_info.hpp"
#ifndef __APPLE__
#include "platform/linux/update/restart_after_quit.hpp"
#endif

extern "C" __attribute__((visibility("default"))) int jolstrand_launcher_main(int argc,
                                                                              char** argv) {
#ifndef __APPLE__
  jolstrand::takeUpdateConfirmation();
#endif
  const auto environment = jolstrand::Environment::fromProcess();
  jolstrand::Collator::useForProcess(environment.locale);
  const int status = jolstrand::runLauncher(argc, argv, environment);
#ifndef __APPLE__
  // After an update: the launcher has let go of everything (window system, hot key, the
  // single-instance lock and socket), so the new version can start in this process's place.
  jolstrand::execPendingRestart();
#endif
  return status;
}

extern "C" __attribute__((visibility("default"))) const char* jolstrand_launcher_build() {
  static const std::string build =
      jolstrand::ProgramInfo::own().value("CFBundleVersion").value_or(std::string());
  return build.c_str();
}
