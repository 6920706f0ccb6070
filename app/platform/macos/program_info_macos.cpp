// On macOS the program's own Info.plist is the main bundle's Contents/Info.plist.

#include <CoreFoundation/CoreFoundation.h>

#include <climits>
#include <fstream>
#include <iterator>

#include "program_info.hpp"

namespace jolstrand {

std::optional<std::string> ownInfoPlistBytes() {
  const CFBundleRef bundle = CFBundleGetMainBundle();
  if (bundle == nullptr) return std::nullopt;
  const CFURLRef url = CFBundleCopyBundleURL(bundle);
  if (url == nullptr) return std::nullopt;
  char path[PATH_MAX];
  const bool converted =
      CFURLGetFileSystemRepresentation(url, true, reinterpret_cast<UInt8*>(path), sizeof path);
  CFRelease(url);
  if (!converted) return std::nullopt;
  std::ifstream file(std::string(path) + "/Contents/Info.plist", std::ios::binary);
  if (!file) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace jolstrand
