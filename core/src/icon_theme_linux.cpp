#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <unordered_set>

#include "desktop_entries.hpp"
#include "desktop_key_file.hpp"
#include "jolstrand/icon_theme.hpp"

namespace jolstrand {

using detail::GlibTextList;
using detail::KeyFile;

namespace {

constexpr const char* extensions[] = {".png", ".svg", ".xpm"};
constexpr const char* fallbackTheme = "hicolor";

bool isFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isFolder(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

// One folder of a theme and the icon sizes it holds.
struct IconFolder {
  enum class Type { fixed, scalable, threshold };
  std::string path;  // relative to the theme's folder
  Type type = Type::threshold;
  int size = 0;
  int scale = 1;
  int minSize = 0;
  int maxSize = 0;
  int threshold = 2;

  [[nodiscard]] bool matches(int pixels) const {
    if (scale != 1) return false;
    switch (type) {
      case Type::fixed:
        return size == pixels;
      case Type::scalable:
        return minSize <= pixels && pixels <= maxSize;
      case Type::threshold:
        return size - threshold <= pixels && pixels <= size + threshold;
    }
    return false;
  }

  // How far the folder's sizes are from pixels. For Threshold folders the range is the one
  // matches() uses (as GTK has it), not MinSize and MaxSize as the rules' sample code reads.
  [[nodiscard]] int distance(int pixels) const {
    const auto outside = [&](int low, int high) {
      if (pixels < low * scale) return low * scale - pixels;
      if (pixels > high * scale) return pixels - high * scale;
      return 0;
    };
    switch (type) {
      case Type::fixed:
        return std::abs(size * scale - pixels);
      case Type::scalable:
        return outside(minSize, maxSize);
      case Type::threshold:
        return outside(size - threshold, size + threshold);
    }
    return INT_MAX;
  }
};

struct IconTheme::Theme {
  std::string name;
  std::vector<std::string> roots;  // the theme's folder in each folder of themes that has one
  std::vector<IconFolder> folders;
};

namespace {

int integerOr(GKeyFile* file, const std::string& group, const char* key, int fallback) {
  GError* error = nullptr;
  const int value = g_key_file_get_integer(file, group.c_str(), key, &error);
  if (error == nullptr) return value;
  g_error_free(error);
  return fallback;
}

std::vector<std::string> listOf(GKeyFile* file, const char* key) {
  const GlibTextList values(g_key_file_get_string_list(file, "Icon Theme", key, nullptr, nullptr));
  std::vector<std::string> out;
  for (char** value = values.get(); value != nullptr && *value != nullptr; ++value) {
    if (**value != '\0') out.emplace_back(*value);
  }
  return out;
}

IconFolder folderOf(GKeyFile* file, const std::string& path) {
  IconFolder folder;
  folder.path = path;
  const detail::GlibText type(g_key_file_get_string(file, path.c_str(), "Type", nullptr));
  const std::string_view typeName = type ? type.get() : "Threshold";
  if (typeName == "Fixed") folder.type = IconFolder::Type::fixed;
  if (typeName == "Scalable") folder.type = IconFolder::Type::scalable;
  folder.size = integerOr(file, path, "Size", 0);
  folder.scale = integerOr(file, path, "Scale", 1);
  folder.minSize = integerOr(file, path, "MinSize", folder.size);
  folder.maxSize = integerOr(file, path, "MaxSize", folder.size);
  folder.threshold = integerOr(file, path, "Threshold", 2);
  return folder;
}

// The theme as the first index.theme found for it describes it, and the names it inherits;
// none without an index.
std::optional<std::pair<IconTheme::Theme, std::vector<std::string>>> load(
    const std::vector<std::string>& bases, const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
    return std::nullopt;
  }
  IconTheme::Theme theme{name, {}, {}};
  std::vector<std::string> inherits;
  bool indexed = false;
  for (const std::string& base : bases) {
    const std::string root = base + '/' + name;
    if (!isFolder(root)) continue;
    theme.roots.push_back(root);
    if (indexed) continue;
    auto loaded = detail::loadKeyFile(root + "/index.theme", ',');
    if (!std::holds_alternative<KeyFile>(loaded)) continue;
    GKeyFile* file = std::get<KeyFile>(loaded).get();
    if (!g_key_file_has_group(file, "Icon Theme")) continue;
    indexed = true;
    std::vector<std::string> paths = listOf(file, "Directories");
    for (std::string& path : listOf(file, "ScaledDirectories")) paths.push_back(std::move(path));
    for (const std::string& path : paths) {
      if (g_key_file_has_group(file, path.c_str())) theme.folders.push_back(folderOf(file, path));
    }
    inherits = listOf(file, "Inherits");
  }
  if (!indexed) return std::nullopt;
  return std::pair(std::move(theme), std::move(inherits));
}

void addWithParents(const std::vector<std::string>& bases, const std::string& name,
                    std::unordered_set<std::string>& seen, std::vector<IconTheme::Theme>& chain) {
  if (name == fallbackTheme || !seen.insert(name).second) return;
  auto loaded = load(bases, name);
  if (!loaded) return;
  chain.push_back(std::move(loaded->first));
  for (const std::string& parent : loaded->second) addWithParents(bases, parent, seen, chain);
}

// The icon's file in one folder of the theme, from the first of the theme's roots that has it.
std::string inFolder(const IconTheme::Theme& theme, const IconFolder& folder,
                     const std::string& icon) {
  for (const std::string& root : theme.roots) {
    for (const char* extension : extensions) {
      if (std::string file = root + '/' + folder.path + '/' + icon + extension; isFile(file)) {
        return file;
      }
    }
  }
  return {};
}

// The icon in one theme: from a folder made for the size, else from the nearest in size.
std::string lookUp(const IconTheme::Theme& theme, const std::string& icon, int pixels) {
  for (const IconFolder& folder : theme.folders) {
    if (!folder.matches(pixels)) continue;
    if (std::string file = inFolder(theme, folder, icon); !file.empty()) return file;
  }
  std::string nearest;
  int nearestDistance = INT_MAX;
  for (const IconFolder& folder : theme.folders) {
    const int distance = folder.distance(pixels);
    if (distance >= nearestDistance) continue;
    if (std::string file = inFolder(theme, folder, icon); !file.empty()) {
      nearest = std::move(file);
      nearestDistance = distance;
    }
  }
  return nearest;
}

}  // namespace

IconTheme::Folders IconTheme::folders(const std::string& home, const std::string& dataHome,
                                      const std::string& dataDirs) {
  Folders folders;
  if (!home.empty()) folders.themes.push_back(home + "/.icons");
  for (const std::string& data :
       detail::dataFolders(dataHome.c_str(), dataDirs.c_str(), home.c_str())) {
    folders.themes.push_back(data + "/icons");
    folders.pixmaps.push_back(data + "/pixmaps");
  }
  return folders;
}

IconTheme::IconTheme(Folders folders, const std::string& name)
    : pixmaps_(std::move(folders.pixmaps)) {
  std::vector<Theme> chain;
  std::unordered_set<std::string> seen;
  addWithParents(folders.themes, name, seen, chain);
  if (auto hicolor = load(folders.themes, fallbackTheme))
    chain.push_back(std::move(hicolor->first));
  themes_ = std::make_shared<const std::vector<Theme>>(std::move(chain));
}

std::vector<std::string> IconTheme::chain() const {
  std::vector<std::string> names;
  for (const Theme& theme : *themes_) names.push_back(theme.name);
  return names;
}

std::string IconTheme::find(const std::string& icon, int pixels) const {
  if (icon.starts_with('/')) return isFile(icon) ? icon : std::string();
  if (icon.empty() || icon.find('/') != std::string::npos) return {};
  std::string name = icon;  // some entries name the file, extension and all
  for (const char* extension : extensions) {
    if (name.ends_with(extension)) name.resize(name.size() - std::string_view(extension).size());
  }
  for (const Theme& theme : *themes_) {
    if (std::string file = lookUp(theme, name, pixels); !file.empty()) return file;
  }
  for (const std::string& folder : pixmaps_) {
    for (const char* extension : extensions) {
      if (std::string file = folder + '/' + name + extension; isFile(file)) return file;
    }
  }
  return {};
}

}  // namespace jolstrand
