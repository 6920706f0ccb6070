#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "desktop_entries.hpp"
#include "desktop_key_file.hpp"
#include "file_system.hpp"
#include "jolstrand/desktop_launch.hpp"
#include "jolstrand/file_access.hpp"
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

std::vector<std::string> split(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find(':', start), text.size());
    if (end > start) parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

// The names in a folder, nothing else asked of them: search folders hold thousands.
std::unordered_set<std::string> namesIn(const std::string& folder) {
  std::unordered_set<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* item = readdir(dir)) names.emplace(item->d_name);
  closedir(dir);
  return names;
}

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

std::vector<std::string> listValue(GKeyFile* file, const char* key) {
  if (!hasKey(file, key)) return {};
  const GlibTextList values(
      g_key_file_get_string_list(file, desktopEntryGroup, key, nullptr, nullptr));
  std::vector<std::string> out;
  for (char** value = values.get(); value != nullptr && *value != nullptr; ++value) {
    out.emplace_back(*value);
  }
  return out;
}

// The program a command line runs, its quoting undone; empty when it cannot be read.
std::string firstWord(const std::string& commandLine) {
  char** argv = nullptr;
  if (!g_shell_parse_argv(commandLine.c_str(), nullptr, &argv, nullptr)) return {};
  const GlibTextList words(argv);
  return argv[0];
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
  for (const std::string& dir : split(dirs)) addFolder(folders, dir);
  return folders;
}

std::vector<DesktopEntryFile> findDesktopEntries(const std::vector<std::string>& folders) {
  std::unordered_set<std::string> taken;
  std::vector<DesktopEntryFile> found;
  for (const std::string& folder : folders) findIn(folder, "", 0, taken, found);
  return found;
}

MenuContext::MenuContext(std::string_view currentDesktops, std::string_view searchPath)
    : desktops_(split(currentDesktops)), searchPath_(split(searchPath)) {}

bool MenuContext::shows(const std::vector<std::string>& onlyShowIn,
                        const std::vector<std::string>& notShowIn) const {
  const auto names = [](const std::vector<std::string>& list, const std::string& desktop) {
    return std::find(list.begin(), list.end(), desktop) != list.end();
  };
  for (const std::string& desktop : desktops_) {
    if (names(onlyShowIn, desktop)) return true;
    if (names(notShowIn, desktop)) return false;
  }
  return onlyShowIn.empty();
}

bool MenuContext::programExists(const std::string& program) {
  if (program.empty()) return false;
  const auto [known, added] = programs_.try_emplace(program, false);
  if (added) known->second = lookUp(program);
  return known->second;
}

bool MenuContext::lookUp(const std::string& program) {
  if (program.find('/') != std::string::npos) return isExecutableFile(program);
  for (const std::string& folder : searchPath_) {
    auto [listing, added] = listings_.try_emplace(folder);
    if (added) listing->second = namesIn(folder);
    if (listing->second.contains(program) && isExecutableFile(folder + '/' + program)) return true;
  }
  return false;
}

DesktopEntryRead readDesktopEntry(const std::string& id, const std::string& path,
                                  std::string_view bytes, MenuContext& context) {
  auto loaded = loadDesktopEntry(bytes);
  if (auto* reason = std::get_if<std::string>(&loaded)) return {std::nullopt, std::move(*reason)};
  GKeyFile* file = std::get<KeyFile>(loaded).get();
  // Before the Name is asked for: a user hides a system entry with a file that has none.
  if (stringValue(file, "Type") != "Application" || booleanValue(file, "Hidden") ||
      booleanValue(file, "NoDisplay") ||
      !context.shows(listValue(file, "OnlyShowIn"), listValue(file, "NotShowIn"))) {
    return {};
  }
  const std::string name = localeValue(file, "Name");
  if (name.empty()) return {std::nullopt, "no Name"};
  if (const std::string tryExec = stringValue(file, "TryExec");
      !tryExec.empty() && !context.programExists(tryExec)) {
    return {};
  }
  // As GLib does, an entry whose Exec line names a program that is not there is left out.
  std::string program;
  if (const std::string exec = stringValue(file, "Exec"); !exec.empty()) {
    program = firstWord(exec);
    if (!context.programExists(program)) return {};
  }

  std::vector<std::string> otherNames;
  if (std::string untranslated = stringValue(file, "Name"); untranslated != name) {
    otherNames.push_back(std::move(untranslated));
  }
  otherNames.push_back(localeValue(file, "GenericName"));
  const GlibTextList keywords(g_key_file_get_locale_string_list(file, desktopEntryGroup, "Keywords",
                                                                nullptr, nullptr, nullptr));
  for (char** keyword = keywords.get(); keyword != nullptr && *keyword != nullptr; ++keyword) {
    otherNames.emplace_back(*keyword);
  }
  otherNames.push_back(nameOf(program));
  return {AppEntry(id, path, name, otherNames), std::nullopt};
}

std::vector<AppEntry> desktopEntries(const std::vector<std::string>& folders,
                                     std::string_view currentDesktops,
                                     std::string_view searchPath) {
  MenuContext context(currentDesktops, searchPath.empty() ? defaultSearchPath : searchPath);
  std::vector<AppEntry> entries;
  std::size_t malformed = 0;
  std::string firstMalformed;
  for (const DesktopEntryFile& file : findDesktopEntries(folders)) {
    const auto bytes = readRegularFile(file.path, maxDesktopEntryBytes).bytes;
    DesktopEntryRead read = bytes ? readDesktopEntry(file.id, file.path, *bytes, context)
                                  : DesktopEntryRead{std::nullopt, unreadableDesktopEntry};
    if (read.entry) entries.push_back(std::move(*read.entry));
    if (read.malformed && malformed++ == 0)
      firstMalformed = file.path + " (" + *read.malformed + ")";
  }
  if (malformed > 0) {
    logLine("skipped " + std::to_string(malformed) + " malformed desktop entries, the first " +
            firstMalformed);
  }
  return entries;
}

}  // namespace jolstrand::detail
