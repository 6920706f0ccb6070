#include "icu_text.hpp"
#include "platform_folders.hpp"

namespace jolstrand::detail {

std::vector<std::string> applicationFolders(Domain domain, const std::string& home) {
  switch (domain) {
    case Domain::local:
      return {"/Applications"};
    case Domain::system:
      return {"/System/Applications"};
    case Domain::user:
      if (home.empty()) return {};
      return {home + "/Applications"};
  }
  return {};
}

std::vector<std::string> coreServicesFolders() {
  return {"/System/Library/CoreServices"};
}

bool isPackage(const std::string& /*path*/) {
  return false;
}

std::string displayName(const std::string& path) {
  const std::size_t end = path.find_last_not_of('/');
  if (end == std::string::npos) return path.empty() ? path : "/";
  const std::size_t start = path.rfind('/', end);
  const std::string_view name =
      std::string_view(path).substr(start == std::string::npos ? 0 : start + 1,
                                    end - (start == std::string::npos ? 0 : start + 1) + 1);
  if (isAscii(name)) return std::string(name);
  return encodeUtf8(decodeUtf8(name));  // a file name can be any bytes
}

}  // namespace jolstrand::detail
