#include "jolstrand/app_scanner.hpp"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "bundle_info.hpp"
#include "catalogue_order.hpp"
#if !defined(__APPLE__)
#include "desktop_entries.hpp"
#endif
#include "file_system.hpp"
#include "icu_text.hpp"
#include "platform_folders.hpp"

namespace jolstrand {
namespace {

using detail::Domain;

// A root that is not empty moves the local and system folders under it.
std::vector<std::string> applicationFoldersOf(Domain domain, const std::string& home,
                                              const std::string& root) {
  if (!root.empty() && domain == Domain::local) return {root + "/Applications"};
  if (!root.empty() && domain == Domain::system) return {root + "/System/Applications"};
  return detail::applicationFolders(domain, home);
}

std::vector<std::string> coreServicesFoldersOf(const std::string& root) {
  if (!root.empty()) return {root + "/System/Library/CoreServices"};
  return detail::coreServicesFolders();
}

// What to do with one entry of a listed folder.
enum class Classified { skip, application, searchInside };

Classified classify(const detail::ListedEntry& item) {
  if (item.name.starts_with('.') || !item.flags) return Classified::skip;
  const bool applicationName = detail::endsWithAppExtension(item.name);
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

// Whether the challenger replaces the holder of a duplicate key: a lower rank, else a shorter
// path, else the path that comes first.
bool replaces(const AppScanner::Collected& challenger, const AppScanner::Collected& holder) {
  if (challenger.rank != holder.rank) return challenger.rank < holder.rank;
  const std::size_t challengerLength = characters(challenger.entry.path()).size();
  const std::size_t holderLength = characters(holder.entry.path()).size();
  if (challengerLength != holderLength) return challengerLength < holderLength;
  return detail::composedUtf8(challenger.entry.path()) < detail::composedUtf8(holder.entry.path());
}

}  // namespace

AppScanner::AppScanner(std::vector<Root> searchedRoots, std::vector<std::string> extraPaths,
                       std::vector<std::string> desktopFolders)
    : roots(std::move(searchedRoots)),
      extraApps(std::move(extraPaths)),
      desktopEntryFolders(std::move(desktopFolders)) {}

AppScanner AppScanner::standard(const std::string& home, const std::string& root,
                                const DesktopSettings& desktop) {
  std::vector<Root> roots;
  for (const auto& [domain, depth] :
       {std::pair{Domain::local, 3}, std::pair{Domain::system, 2}, std::pair{Domain::user, 3}}) {
    for (std::string& path : applicationFoldersOf(domain, home, root))
      roots.push_back({std::move(path), depth});
  }
  std::vector<std::string> extras;
  for (const std::string& folder : coreServicesFoldersOf(root))
    extras.push_back(folder + "/Finder.app");
#if defined(__APPLE__)
  (void)desktop;
  AppScanner scanner(std::move(roots), std::move(extras));
#else
  AppScanner scanner(std::move(roots), std::move(extras),
                     detail::desktopEntryFolders(desktop.dataHome.c_str(), desktop.dataDirs.c_str(),
                                                 home.c_str()));
  scanner.currentDesktops = desktop.currentDesktops;
  scanner.searchPath = desktop.searchPath;
#endif
  scanner.unwatched = applicationFoldersOf(Domain::system, home, root);
  return scanner;
}

std::vector<std::string> AppScanner::watchPaths() const {
  std::vector<std::string> paths;
  for (const Root& root : roots) {
    if (std::find(unwatched.begin(), unwatched.end(), root.path) != unwatched.end()) continue;
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
  for (AppEntry& entry : detail::desktopEntries(desktopEntryFolders, currentDesktops, searchPath)) {
    collected.push_back({std::move(entry), desktopRank, true});
  }
#endif
  return detail::orderedCatalogue(dedupe(collected));
}

std::optional<AppEntry> AppScanner::entry(const std::string& at, const std::string& resolved) {
  return detail::bundleEntry(at, detail::displayName(at), detail::readBundleInfo(resolved));
}

std::vector<AppEntry> AppScanner::dedupe(const std::vector<Collected>& collected) {
  std::vector<const Collected*> survivors;  // in order of first appearance of their key
  std::unordered_map<std::string, std::size_t> survivorOfKey;
  for (const Collected& pair : collected) {
    // The leading kind keeps a desktop entry and a bundle apart even when id and name agree.
    std::string key =
        (pair.desktopEntry ? "d" : "b") + pair.entry.id() + '\n' + fold(pair.entry.displayName());
    const auto [slot, inserted] = survivorOfKey.try_emplace(std::move(key), survivors.size());
    if (inserted) {
      survivors.push_back(&pair);
    } else if (replaces(pair, *survivors[slot->second])) {
      survivors[slot->second] = &pair;
    }
  }
  std::unordered_map<std::string_view, int> idCounts;
  for (const Collected* survivor : survivors) ++idCounts[survivor->entry.id()];

  std::vector<AppEntry> entries;
  entries.reserve(survivors.size());
  for (const Collected* survivor : survivors) {
    const AppEntry& entry = survivor->entry;
    entries.push_back(idCounts[entry.id()] > 1 ? entry.withID(entry.id() + ' ' + entry.path())
                                               : entry);
  }
  return entries;
}

}  // namespace jolstrand
