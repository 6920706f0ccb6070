#pragma once
// Finds the file that draws a named icon, a desktop entry's Icon, by the freedesktop icon theme
// rules: the theme's index.theme says which of its folders hold icons of which sizes (Fixed,
// Scalable or Threshold, with Size, Scale, MinSize, MaxSize and Threshold), every folder counts
// whatever its context, the themes it inherits are searched after it and hicolor last, then the
// folders of icons outside themes (pixmaps). An absolute path is taken as given.
//
// Qt's own theme support (QIcon::fromTheme) does this lookup too, but not here: it gives no file
// (the --icons diagnostic prints it, and foreign files are read only through readRegularFile),
// it may only be used on the thread of the application object while icons load on a pool, and
// the command-line modes never load Qt. So the lookup is the core's; Qt still draws the file.
//
// An IconTheme reads the index of each theme of its chain once, when it is built, and is
// immutable afterwards: find() may run on any thread. Linux only.

#include <memory>
#include <string>
#include <vector>

namespace jolstrand {

class IconTheme {
 public:
  /// Where icons are: the folders that hold themes, in order of precedence ($HOME/.icons, then
  /// icons/ below the data home and below each data folder), and the folders of icons outside
  /// any theme (pixmaps/ below each data folder).
  struct Folders {
    std::vector<std::string> themes;
    std::vector<std::string> pixmaps;
  };

  /// The folders for a home, data home (empty: home/.local/share) and data folders
  /// (XDG_DATA_DIRS; empty for the usual ones).
  [[nodiscard]] static Folders folders(const std::string& home, const std::string& dataHome,
                                       const std::string& dataDirs);

  /// The theme called name and the themes it inherits, depth first, hicolor last; a theme
  /// without an index.theme in any of the folders is left out.
  IconTheme(Folders folders, const std::string& name);

  /// The themes searched, in order.
  [[nodiscard]] std::vector<std::string> chain() const;

  /// The file that draws icon (a name, with or without an extension, or an absolute path) best
  /// at pixels square; empty when there is none.
  [[nodiscard]] std::string find(const std::string& icon, int pixels) const;

  struct Theme;

 private:
  std::shared_ptr<const std::vector<Theme>> themes_;
  std::vector<std::string> pixmaps_;
};

/// The icon theme the desktop uses: in GNOME, its interface setting (org.gnome.desktop.interface
/// icon-theme); in KDE, kdeglobals' [Icons] Theme below configHome or /etc/xdg (breeze when
/// unset); elsewhere fallback (the toolkit's theme name), else hicolor.
[[nodiscard]] std::string desktopIconTheme(const std::string& currentDesktop,
                                           const std::string& configHome,
                                           const std::string& fallback);

}  // namespace jolstrand
