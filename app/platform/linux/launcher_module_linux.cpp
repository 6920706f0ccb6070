// Loads the launcher module from beside the running program (see launcher_module.hpp).

#include "launcher_module.hpp"

#include "program_help.hpp"
#include "program_info.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <iostream>
#include <string>

namespace jolstrand {
namespace {

// The folder of the program this process runs, from the kernel's own record of it.
std::string programFolder() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) return ".";
  path.resize(static_cast<std::size_t>(length));
  return path.substr(0, path.rfind('/'));
}

// The module's symbol, or null once the failure is reported.
void* launcherSymbol(const char* name) {
  const std::string module = programFolder() + "/../" + launcherModuleInTree;
  // Loaded for good: the launcher's objects live until the process ends or execs.
  void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    // dlerror() names only the library that failed, which may be one the module needs.
    std::cerr << "jolstrand: couldn't load the launcher " << module << ": " << dlerror() << "\n";
    return nullptr;
  }
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr)
    std::cerr << "jolstrand: " << module << " is not the launcher: " << dlerror() << "\n";
  return symbol;
}

}  // namespace

int startLauncher(int argc, char** argv) {
  using Entry = int (*)(int, char**);
  const auto entry = reinterpret_cast<Entry>(launcherSymbol("jolstrand_launcher_main"));
  return entry == nullptr ? 1 : entry(argc, argv);
}

int selfTestLauncher() {
  using Build = const char* (*)();
  const auto build = reinterpret_cast<Build>(launcherSymbol("jolstrand_launcher_build"));
  if (build == nullptr) return 1;
  const ProgramInfo& program = ProgramInfo::own();
  const std::string own = program.value("CFBundleVersion").value_or("?");
  if (own != build()) {
    std::cerr << "jolstrand: the launcher module is build " << build() << ", the program build "
              << own << "\n";
    return 1;
  }
  printVersion(program, std::cout);
  return 0;
}

}  // namespace jolstrand
