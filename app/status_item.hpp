#pragma once
// The launcher's item in the menu bar (on Linux the system tray: a StatusNotifierItem over D-Bus
// where the desktop offers one, else the X11 system tray): the hare symbol, named "Jolstrand",
// and a menu built afresh from `rows` each time it is about to open. Choosing an entry emits
// chosen() with its action. Where there is no tray yet it logs one line, and the item appears
// when a tray does. Main thread only.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <vector>

#include "status_menu.hpp"

namespace jolstrand {

class StatusItem : public QObject {
  Q_OBJECT

 public:
  /// The menu's rows as they are now; asked at every opening.
  using Rows = std::function<std::vector<MenuRow>()>;

  explicit StatusItem(Rows rows);
  ~StatusItem() override;

  /// The menu, as it was last built.
  [[nodiscard]] QMenu& menu() { return menu_; }
  [[nodiscard]] const QSystemTrayIcon& icon() const { return icon_; }

 signals:
  void chosen(jolstrand::MenuAction action);

 private:
  void rebuild();

  Rows rows_;
  QMenu menu_;
  QSystemTrayIcon icon_;  // after the menu it shows, so it goes first
};

/// The hare as a monochrome mask, sharp at 1× and 2× in the sizes trays ask for.
[[nodiscard]] QIcon statusItemIcon();

}  // namespace jolstrand
