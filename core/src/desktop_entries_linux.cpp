#include <algorithm>
#include <unordered_set>

#include "desktop_entries.hpp"
#include "desktop_key_file.hpp"
#include "file_system.hpp"
#include "jolstrand/log.hpp"

namespace jolstrand::detail {
namespace {

// Sub-folders of an applications/ folder are followed this deep, links to folders included,
// so that a loop of links ends.
constexpr int maxSubfolderDepth = 8;

bool isAbsolute(const char* path) {
  return path != nullptr && path[0] == '/';
}

void addFolder(std::vector<std::string>& folders, std::string_view dataFolder) {
  if (dataFolder.empty() || dataFolder[0] != '/') return;
  while (dataFolder.size() > 1 && dataFolder.back() == '/') dataFolder.remove_suffix(1);
  std::string folder = std::string(dataFolder) + (dataFolder == "/" ? "" : "/") + "applications";
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
    folders.push_back(std::move(folder));
  }
}

bool hasDesktopExtension(std::string_view name) {
  constexpr std::string_view extension = ".desktop";
  return name.size() > extension.size() && name.ends_with(extension);
}

void findIn(const std::string& folder, const std::string& prefix, int depth,
            std::unordered_set<std::string>& taken, std::vector<DesktopEntryFile>& found) {
  auto listing = listFolder(folder);
  if (!listing) return;
  std::sort(listing->begin(), listing->end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
  for (const ListedEntry& item : *listing) {
    if (item.name.starts_with('.') || !item.flags) continue;
    const bool folderItem =
        item.flags->isSymbolicLink ? isDirectory(item.path) : item.flags->isDirectory;
    if (folderItem) {
      if (depth < maxSubfolderDepth)
        findIn(item.path, prefix + item.name + '-', depth + 1, taken, found);
    } else if (hasDesktopExtension(item.name)) {
      std::string id = prefix + item.name;
      if (taken.insert(id).second) found.push_back({std::move(id), item.path});
    }
  }
}

// The base name of the program a command line runs.
std::string programName(const char* executable) {
  if (executable == nullptr) return {};
  const std::string_view path(executable);
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace

std::vector<std::string> desktopEntryFolders(const char* dataHome, const char* dataDirs,
                                             const char* home) {
  std::vector<std::string> folders;
  if (isAbsolute(dataHome)) {
    addFolder(folders, dataHome);
  } else if (isAbsolute(home)) {
    addFolder(folders, std::string(home) + "/.local/share");
  }
  const std::string_view dirs =
      dataDirs != nullptr && *dataDirs != '\0' ? dataDirs : "/usr/local/share:/usr/share";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    addFolder(folders, dirs.substr(start, end - start));
    start = end + 1;
  }
  return folders;
}

std::vector<DesktopEntryFile> findDesktopEntries(const std::vector<std::string>& folders) {
  std::unordered_set<std::string> taken;
  std::vector<DesktopEntryFile> found;
  for (const std::string& folder : folders) findIn(folder, "", 0, taken, found);
  return found;
}

DesktopEntryRead readDesktopEntry(const std::string& id, const std::string& path,
                                  std::string_view bytes) {
  auto loaded = loadDesktopEntry(bytes);
  if (auto* reason = std::get_if<std::string>(&loaded)) return {std::nullopt, std::move(*reason)};
  GKeyFile* file = std::get<KeyFile>(loaded).get();
  const GlibText name(
      g_key_file_get_locale_string(file, desktopEntryGroup, "Name", nullptr, nullptr));
  if (!name || *name == '\0') return {std::nullopt, "no Name"};
  // Not an application, or its TryExec or Exec program is missing.
  const AppInfo info(g_desktop_app_info_new_from_keyfile(file));
  if (!info || g_desktop_app_info_get_is_hidden(info.get()) ||
      !g_app_info_should_show(G_APP_INFO(info.get()))) {
    return {};
  }
  std::vector<std::string> otherNames;
  const std::string untranslated = stringValue(file, "Name");
  if (untranslated != name.get()) otherNames.push_back(untranslated);
  if (const char* generic = g_desktop_app_info_get_generic_name(info.get())) {
    otherNames.emplace_back(generic);
  }
  if (const char* const* keywords = g_desktop_app_info_get_keywords(info.get())) {
    for (; *keywords != nullptr; ++keywords) otherNames.emplace_back(*keywords);
  }
  otherNames.push_back(programName(g_app_info_get_executable(G_APP_INFO(info.get()))));
  return {AppEntry(id, path, name.get(), otherNames), std::nullopt};
}

std::vector<AppEntry> desktopEntries(const std::vector<std::string>& folders) {
  std::vector<AppEntry> entries;
  std::size_t malformed = 0;
  std::string firstMalformed;
  for (const DesktopEntryFile& file : findDesktopEntries(folders)) {
    const auto bytes = readFile(file.path, maxDesktopEntryBytes);
    DesktopEntryRead read =
        bytes ? readDesktopEntry(file.id, file.path, *bytes)
              : DesktopEntryRead{std::nullopt, "unreadable, or larger than 1 MiB"};
    if (read.entry) entries.push_back(std::move(*read.entry));
    if (read.malformed && malformed++ == 0)
      firstMalformed = file.path + " (" + *read.malformed + ")";
  }
  if (malformed > 0) {
    logLine("Jolstrand: skipped " + std::to_string(malformed) +
            " malformed desktop entries, the first " + firstMalformed);
  }
  return entries;
}

}  // namespace jolstrand::detail
