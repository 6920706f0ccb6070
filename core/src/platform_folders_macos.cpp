#include <sysdir.h>

#include <climits>

#include "cf_ref.hpp"
#include "platform_folders.hpp"

namespace jolstrand::detail {
namespace {

std::vector<std::string> searchPaths(sysdir_search_path_directory_t directory,
                                     sysdir_search_path_domain_mask_t domains,
                                     const std::string& home) {
  std::vector<std::string> paths;
  char path[PATH_MAX];
  auto state = sysdir_start_search_path_enumeration(directory, domains);
  while ((state = sysdir_get_next_search_path_enumeration(state, path)) != 0) {
    std::string found(path);
    if (found.starts_with('~')) {  // the user domain answers relative to the home folder
      found = home + found.substr(1);
    }
    paths.push_back(std::move(found));
  }
  return paths;
}

CFRef<CFURLRef> fileURL(const std::string& path, bool directory) {
  return CFRef<CFURLRef>(CFURLCreateFromFileSystemRepresentation(
      kCFAllocatorDefault, reinterpret_cast<const UInt8*>(path.data()),
      static_cast<CFIndex>(path.size()), directory));
}

}  // namespace

std::vector<std::string> applicationFolders(Domain domain, const std::string& home) {
  switch (domain) {
    case Domain::local:
      return searchPaths(SYSDIR_DIRECTORY_APPLICATION, SYSDIR_DOMAIN_MASK_LOCAL, home);
    case Domain::system:
      return searchPaths(SYSDIR_DIRECTORY_APPLICATION, SYSDIR_DOMAIN_MASK_SYSTEM, home);
    case Domain::user:
      return searchPaths(SYSDIR_DIRECTORY_APPLICATION, SYSDIR_DOMAIN_MASK_USER, home);
  }
  return {};
}

std::vector<std::string> coreServicesFolders() {
  return searchPaths(SYSDIR_DIRECTORY_CORESERVICE, SYSDIR_DOMAIN_MASK_SYSTEM, {});
}

bool isPackage(const std::string& path) {
  const CFRef<CFURLRef> url = fileURL(path, true);
  if (!url) return false;
  CFRef<CFTypeRef> value;
  if (!CFURLCopyResourcePropertyForKey(url.get(), kCFURLIsPackageKey, value.out(), nullptr)) {
    return false;
  }
  return value && CFGetTypeID(value.get()) == CFBooleanGetTypeID() &&
         CFBooleanGetValue(static_cast<CFBooleanRef>(value.get()));
}

std::string displayName(const std::string& path) {
  const CFRef<CFURLRef> url = fileURL(path, false);
  CFRef<CFTypeRef> value;
  if (url &&
      CFURLCopyResourcePropertyForKey(url.get(), kCFURLLocalizedNameKey, value.out(), nullptr) &&
      value && CFGetTypeID(value.get()) == CFStringGetTypeID()) {
    return utf8(static_cast<CFStringRef>(value.get()));
  }
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace jolstrand::detail
