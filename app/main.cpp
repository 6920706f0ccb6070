// Jolstrand: a keyboard launcher. With --list or --query it is a diagnostic command-line tool.

#include <iostream>
#include <string>
#include <vector>

#include "command_line.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv, argv + argc);
  if (jolstrand::wantsCommandLine(args)) return jolstrand::runCommandLine(args, std::cout);
  std::cerr << "usage: jolstrand --list\n"
               "       jolstrand --query TERM...\n";
  return 2;
}
