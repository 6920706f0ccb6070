#include "jolstrand/app_scanner.hpp"

#include <algorithm>
#include <cstdlib>
#include <unordered_set>

#include "bundle_info.hpp"
#include "catalogue_order.hpp"
#if !defined(__APPLE__)
#include "desktop_entries.hpp"
#endif
#include "file_system.hpp"
#include "platform_folders.hpp"

namespace jolstrand {
namespace {

using detail::Domain;

// JOLSTRAND_ROOT moves the local and system folders under it, for tests and the demo.
std::optional<std::string> relocatedRoot() {
  const char* root = std::getenv("JOLSTRAND_ROOT");
  if (root == nullptr || *root == '\0') return std::nullopt;
  return std::string(root);
}

std::vector<std::string> applicationFoldersOf(Domain domain) {
  const auto root = relocatedRoot();
  if (root && domain == Domain::local) return {*root + "/Applications"};
  if (root && domain == Domain::system) return {*root + "/System/Applications"};
  return detail::applicationFolders(domain);
}

std::vector<std::string> coreServicesFoldersOf() {
  if (const auto root = relocatedRoot()) return {*root + "/System/Library/CoreServices"};
  return detail::coreServicesFolders();
}

// Whether the last path component has the extension "app" in any letter case.
bool hasApplicationName(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = name.substr(dot + 1);
  return extension.size() == 3 && (extension[0] | 0x20) == 'a' && (extension[1] | 0x20) == 'p' &&
         (extension[2] | 0x20) == 'p';
}

// What to do with one entry of a listed folder.
enum class Classified { skip, application, searchInside };

Classified classify(const detail::ListedEntry& item) {
  if (item.name.starts_with('.') || !item.flags) return Classified::skip;
  const bool applicationName = hasApplicationName(item.name);
  if (item.flags->isSymbolicLink) {
    // Links are never followed into; one named like an application counts when its target is
    // a directory.
    return applicationName && detail::isDirectory(item.path) ? Classified::application
                                                             : Classified::skip;
  }
  if (!item.flags->isDirectory) return Classified::skip;
  if (applicationName) return Classified::application;
  return item.flags->isPackage ? Classified::skip : Classified::searchInside;
}

}  // namespace

AppScanner::AppScanner(std::vector<Root> searchedRoots, std::vector<std::string> extraPaths,
                       std::vector<std::string> desktopFolders)
    : roots(std::move(searchedRoots)),
      extraApps(std::move(extraPaths)),
      desktopEntryFolders(std::move(desktopFolders)) {}

AppScanner AppScanner::standard() {
  std::vector<Root> roots;
  for (const auto& [domain, depth] :
       {std::pair{Domain::local, 3}, std::pair{Domain::system, 2}, std::pair{Domain::user, 3}}) {
    for (std::string& path : applicationFoldersOf(domain))
      roots.push_back({std::move(path), depth});
  }
  std::vector<std::string> extras;
  for (const std::string& folder : coreServicesFoldersOf())
    extras.push_back(folder + "/Finder.app");
#if defined(__APPLE__)
  return AppScanner(std::move(roots), std::move(extras));
#else
  return AppScanner(std::move(roots), std::move(extras),
                    detail::desktopEntryFolders(std::getenv("XDG_DATA_HOME"),
                                                std::getenv("XDG_DATA_DIRS"), std::getenv("HOME")));
#endif
}

std::vector<std::string> AppScanner::watchPaths() const {
  const std::vector<std::string> system = applicationFoldersOf(Domain::system);
  std::vector<std::string> paths;
  for (const Root& root : roots) {
    if (std::find(system.begin(), system.end(), root.path) != system.end()) continue;
    if (detail::fileExists(root.path)) paths.push_back(root.path);
  }
  for (const std::string& folder : desktopEntryFolders) {
    if (detail::fileExists(folder)) paths.push_back(folder);
  }
  return paths;
}

void AppScanner::walk(const std::string& folder, std::int64_t depthLeft,
                      const std::function<void(const std::string&)>& found) const {
  if (depthLeft < 1) return;
  const auto listing = detail::listFolder(folder);
  if (!listing) return;
  for (const detail::ListedEntry& item : *listing) {
    switch (classify(item)) {
      case Classified::application:
        found(item.path);
        break;
      case Classified::searchInside:
        walk(item.path, depthLeft - 1, found);
        break;
      case Classified::skip:
        break;
    }
  }
}

std::vector<AppEntry> AppScanner::scan() const {
  std::vector<Collected> collected;
  std::unordered_set<std::string> taken;
  const auto add = [&](const std::string& path, std::int64_t rank) {
    std::string resolved = detail::resolvingSymlinks(path);
    // The first path to a bundle wins; it blocks later ones even when the bundle is excluded.
    if (!taken.insert(resolved).second) return;
    if (auto made = entry(path, resolved)) collected.push_back({std::move(*made), rank});
  };
  for (std::size_t i = 0; i < roots.size(); ++i) {
    const auto rank = static_cast<std::int64_t>(i);
    walk(roots[i].path, roots[i].depth, [&](const std::string& path) { add(path, rank); });
  }
  for (const std::string& path : extraApps) {
    if (detail::fileExists(path)) add(path, static_cast<std::int64_t>(roots.size()));
  }
#if !defined(__APPLE__)
  const auto desktopRank = static_cast<std::int64_t>(roots.size()) + 1;
  for (AppEntry& entry : detail::desktopEntries(desktopEntryFolders)) {
    collected.push_back({std::move(entry), desktopRank, true});
  }
#endif
  return detail::orderedCatalogue(dedupe(collected));
}

std::optional<AppEntry> AppScanner::entry(const std::string& at, const std::string& resolved) {
  return detail::bundleEntry(at, detail::displayName(at), detail::readBundleInfo(resolved));
}

}  // namespace jolstrand
