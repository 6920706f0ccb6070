#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "desktop_entries.hpp"
#include "desktop_key_file.hpp"
#include "desktop_program.hpp"
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
  std::string folder = dataFolder == "/" ? std::string() : std::string(dataFolder);
  if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
    folders.push_back(std::move(folder));
  }
}

void findIn(const std::string& folder, const std::string& prefix, int depth,
            std::unordered_set<std::string>& taken, std::vector<DesktopEntryFile>& found) {
  auto listing = listFolder(folder);
  if (!listing) return;
  std::sort(listing->begin(), listing->end(),
            [](const ListedEntry& a, const ListedEntry& b) { return a.name < b.name; });
  // As GLib's menu does: every name ending in .desktop is an entry, folder or not (a folder
  // then yields nothing, but still hides its id in later folders), and names that start with a
  // dot count like any other.
  for (const ListedEntry& item : *listing) {
    if (item.name.ends_with(".desktop")) {
      std::string id = prefix + item.name;
      if (taken.insert(id).second) found.push_back({std::move(id), item.path});
      continue;
    }
    if (!item.flags) continue;
    const bool folderItem =
        item.flags->isSymbolicLink ? isDirectory(item.path) : item.flags->isDirectory;
    if (folderItem && depth < maxSubfolderDepth) {
      findIn(item.path, prefix + item.name + '-', depth + 1, taken, found);
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

// The names in a folder, nothing else asked of them: search folders hold thousands. None when
// the folder cannot be listed, which a folder that may only be searched (mode 0711) answers.
std::optional<std::unordered_set<std::string>> namesIn(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::unordered_set<std::string> names;
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

// The words of a command line, its quoting undone; none when it cannot be read.
std::vector<std::string> wordsOf(const std::string& commandLine) {
  int count = 0;
  char** argv = nullptr;
  if (!g_shell_parse_argv(commandLine.c_str(), &count, &argv, nullptr)) return {};
  const GlibTextList words(argv);
  return std::vector<std::string>(argv, argv + count);
}

}  // namespace

std::vector<std::string> desktopEntryFolders(const char* dataHome, const char* dataDirs,
                                             const char* home) {
  std::vector<std::string> folders = dataFolders(dataHome, dataDirs, home);
  for (std::string& folder : folders) folder += "/applications";
  return folders;
}

// The root folder is kept as "", so that a folder below it never starts with two slashes.
std::vector<std::string> dataFolders(const char* dataHome, const char* dataDirs, const char* home) {
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

bool MenuContext::madeForCurrent(const std::vector<std::string>& onlyShowIn) const {
  return std::any_of(desktops_.begin(), desktops_.end(), [&](const std::string& desktop) {
    return std::find(onlyShowIn.begin(), onlyShowIn.end(), desktop) != onlyShowIn.end();
  });
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
    const bool mayBeThere = !listing->second || listing->second->contains(program);
    if (mayBeThere && isExecutableFile(folder + '/' + program)) return true;
  }
  return false;
}

DesktopEntryRead readDesktopEntry(const std::string& id, const std::string& path,
                                  std::string_view bytes, MenuContext& context) {
  auto loaded = loadDesktopEntry(bytes);
  if (auto* reason = std::get_if<std::string>(&loaded)) return {std::nullopt, std::move(*reason)};
  GKeyFile* file = std::get<KeyFile>(loaded).get();
  // Before the Name is asked for: a user hides a system entry with a file that has none.
  const std::vector<std::string> onlyShowIn = listValue(file, "OnlyShowIn");
  if (stringValue(file, "Type") != "Application" || booleanValue(file, "Hidden") ||
      booleanValue(file, "NoDisplay") || !context.shows(onlyShowIn, listValue(file, "NotShowIn"))) {
    return {};
  }
  const std::string name = localeValue(file, "Name");
  if (name.empty()) return {std::nullopt, "no Name"};
  if (const std::string tryExec = stringValue(file, "TryExec");
      !tryExec.empty() && !context.programExists(tryExec)) {
    return {};
  }
  // As GLib does, an entry whose Exec line names a program that is not there is left out.
  std::vector<std::string> command;
  if (const std::string exec = stringValue(file, "Exec"); !exec.empty()) {
    command = wordsOf(exec);
    if (command.empty() || !context.programExists(command.front())) return {};
  }

  std::vector<OtherName> otherNames;
  otherNames.push_back({stringValue(file, "Name"), NameKind::name});
  otherNames.push_back({localeValue(file, "X-GNOME-FullName"), NameKind::name});
  otherNames.push_back({localeValue(file, "GenericName"), NameKind::genericName});
  for (std::string& keyword : localeList(file, "Keywords")) {
    otherNames.push_back({std::move(keyword), NameKind::keyword});
  }
  otherNames.push_back({programName(command), NameKind::name});
  return {AppEntry(id, path, name, otherNames, context.madeForCurrent(onlyShowIn)), std::nullopt};
}

std::vector<AppEntry> desktopEntries(const std::vector<std::string>& folders,
                                     std::string_view currentDesktops,
                                     std::string_view searchPath) {
  MenuContext context(currentDesktops, searchPath.empty() ? defaultSearchPath : searchPath);
  std::vector<AppEntry> entries;
  std::size_t malformed = 0;
  std::string firstMalformed;
  for (const DesktopEntryFile& file : findDesktopEntries(folders)) {
    const FileContents contents = readRegularFile(file.path, maxDesktopEntryBytes);
    std::optional<std::string> problem;  // the path and what is wrong with it
    if (!contents.bytes) {
      problem = contents.error;  // a folder named like an entry, for one
    } else {
      DesktopEntryRead read = readDesktopEntry(file.id, file.path, *contents.bytes, context);
      if (read.entry) entries.push_back(std::move(*read.entry));
      if (read.malformed) problem = file.path + " (" + *read.malformed + ")";
    }
    if (problem && malformed++ == 0) firstMalformed = std::move(*problem);
  }
  if (malformed > 0) {
    logLine("skipped " + std::to_string(malformed) + " malformed desktop entries, the first " +
            firstMalformed);
  }
  return entries;
}

}  // namespace jolstrand::detail
