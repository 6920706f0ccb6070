#pragma once
// The launcher's item in the menu bar (on Linux the system tray: a StatusNotifierItem over D-Bus
// where the desktop offers one, else the X11 system tray): the hare symbol, named "Jolstrand",
// and a menu updated from `rows` each time it is about to open, in which each row keeps its entry
// from one opening to the next. Choosing an entry emits
// chosen() with its action. Where there is no tray yet it logs one line and makes the icon only
// when a tray appears, so that Qt picks the protocol of the tray that is there. Main thread only.

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
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

  /// The menu, as it was last updated; the entries of absent rows are hidden.
  [[nodiscard]] QMenu& menu() { return menu_; }

 signals:
  void chosen(jolstrand::MenuAction action);

 private:
  void rebuild();
  /// The entry of the ordinal-th row of this kind, made at its first showing.
  QAction* entry(const MenuRow& row, int ordinal);
  void showIcon();

  Rows rows_;
  QMenu menu_;
  std::map<std::tuple<bool, MenuAction, int>, QAction*> entries_;  // owned by the menu
  std::unique_ptr<QSystemTrayIcon> icon_;  // after the menu it shows, so it goes first
  QObject* trayWatch_ = nullptr;           // while there is no tray; a child of this
};

/// The hare as a monochrome mask, sharp at 1× and 2× in the sizes trays ask for.
[[nodiscard]] QIcon statusItemIcon();

}  // namespace jolstrand
