#pragma once
// Finds the file of a named icon (a desktop entry's Icon) in the icon theme: the current theme,
// then hicolor, where applications install theirs, then the old pixmaps folders. A simplified
// form of the freedesktop lookup: the usual application folders at sizes near the one wanted,
// scalable first, without reading index.theme or following inherited themes. Qt's own theme
// lookup (QIcon::fromTheme) may not run off the main thread, where icons load, so the theme's
// name and search folders are taken on the main thread once and the files looked up here.

#include <QString>
#include <QStringList>

namespace jolstrand {

class ThemeIconFinder {
 public:
  /// bases: the folders that hold icon themes (QIcon::themeSearchPaths()); theme: the current
  /// theme's name (QIcon::themeName()).
  ThemeIconFinder(QStringList bases, QString theme);

  /// The file of the icon named name, best for pixels square; empty when there is none. Any
  /// thread.
  [[nodiscard]] QString find(const QString& iconName, int pixels) const;

 private:
  QStringList bases_;
  QStringList themes_;
};

}  // namespace jolstrand
