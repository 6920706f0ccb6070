// jolstrand-release: signing keys, signatures and signed update feeds for releases.

#include <iostream>
#include <string>
#include <vector>

#include "release_tool.hpp"

int main(int argc, char** argv) {
  return jolstrand::runReleaseTool(std::vector<std::string>(argv + 1, argv + argc), std::cin,
                                   std::cout, std::cerr);
}
