#include <algorithm>
#include <cctype>

#include "jolstrand/current_desktop.hpp"

namespace jolstrand {

bool currentDesktopIncludes(std::string_view currentDesktop, std::string_view name) {
  const auto sameLetter = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) ==
           std::tolower(static_cast<unsigned char>(b));
  };
  while (!currentDesktop.empty()) {
    const std::size_t end = std::min(currentDesktop.find(':'), currentDesktop.size());
    const std::string_view listed = currentDesktop.substr(0, end);
    if (std::equal(listed.begin(), listed.end(), name.begin(), name.end(), sameLetter)) {
      return true;
    }
    currentDesktop.remove_prefix(std::min(end + 1, currentDesktop.size()));
  }
  return false;
}

}  // namespace jolstrand
