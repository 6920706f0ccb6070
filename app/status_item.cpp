#include "status_item.hpp"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QKeySequence>
#include <QPalette>
#include <QShortcut>
#include <algorithm>
#include <map>
#include <utility>

#include "jolstrand/log.hpp"
#include "platform/tray_presence.hpp"
#include "symbols.hpp"

#ifdef Q_OS_MACOS
#include "platform/macos/menu_check_macos.hpp"
#endif

namespace jolstrand {
namespace {

bool isToggle(MenuAction action) {
  return action == MenuAction::ToggleLoginItem || action == MenuAction::ToggleAutoUpdate;
}

}  // namespace

QIcon statusItemIcon() {
  // A mask's colour does not matter where the system tints it (macOS); elsewhere it is drawn in
  // the text colour of the desktop's palette.
  const QColor tint = QGuiApplication::palette().color(QPalette::WindowText);
  QIcon icon;
  for (const int points : {16, 22, 24, 32}) {
    for (const qreal ratio : {1.0, 2.0}) icon.addPixmap(symbolPixmap("hare", points, tint, ratio));
  }
  icon.setIsMask(true);
  return icon;
}

StatusItem::StatusItem(Rows rows) : rows_(std::move(rows)) {
  menu_.setTitle(QStringLiteral("Jolstrand"));
  menu_.setAccessibleName(QStringLiteral("Jolstrand"));
  connect(&menu_, &QMenu::aboutToShow, this, &StatusItem::rebuild);
#ifndef Q_OS_MACOS
  // Qt leaves a context menu's own shortcuts without effect while it is open; Quit's key works
  // through a shortcut of the menu itself.
  connect(new QShortcut(QKeySequence::Quit, &menu_), &QShortcut::activated, this, [this] {
    const QList<QAction*> actions = menu_.actions();
    const auto quit = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
      return action->shortcut() == QKeySequence(QKeySequence::Quit);
    });
    if (quit == actions.end()) return;
    menu_.close();
    (*quit)->trigger();
  });
#endif
  if (trayPresent()) {
    showIcon();
    return;
  }
  logLine("no system tray yet; the icon appears when one starts (the hot key works meanwhile)");
  trayWatch_ = watchForTray(this, [this] {
    if (icon_ || !trayPresent()) return;
    showIcon();
    trayWatch_->deleteLater();
  });
}

void StatusItem::showIcon() {
  icon_ = std::make_unique<QSystemTrayIcon>();
  icon_->setIcon(statusItemIcon());
  icon_->setToolTip(QStringLiteral("Jolstrand"));
  icon_->setContextMenu(&menu_);
#ifndef Q_OS_MACOS
  // The item is there for its menu: a plain click opens it too, as in a menu bar (where the
  // system does this itself).
  connect(icon_.get(), &QSystemTrayIcon::activated, this,
          [this](QSystemTrayIcon::ActivationReason why) {
            if (why == QSystemTrayIcon::Trigger) menu_.popup(QCursor::pos());
          });
#endif
  icon_->show();
}

StatusItem::~StatusItem() = default;

// The rows are read afresh; each keeps its entry from one opening to the next, so that a tray's
// copy of the menu (which refers to entries by id) stays valid. Rows that are absent are hidden.
void StatusItem::rebuild() {
  std::vector<QAction*> shown;
  std::map<std::pair<bool, MenuAction>, int> ordinals;
  const std::vector<MenuRow> rows = rows_();
  for (const MenuRow& row : rows) {
    QAction* action = entry(row, ordinals[{row.separator, row.action}]++);
    action->setText(row.title);
    action->setEnabled(row.enabled);
    // Qt's menus know no mixed state; one awaiting approval is shown as on, which is what
    // choosing it (switching it off) treats it as. On macOS the native item shows it (below).
    action->setChecked(row.check != MenuCheck::Off);
    action->setShortcut(row.quitShortcut ? QKeySequence(QKeySequence::Quit) : QKeySequence());
    action->setVisible(true);
    shown.push_back(action);
  }
  // In the rows' order: from the last row back, each goes before the one after it unless it is
  // there already. Entries that are in order are left in place.
  QAction* next = nullptr;
  for (auto action = shown.rbegin(); action != shown.rend(); ++action) {
    const QList<QAction*> present = menu_.actions();
    if (!present.contains(*action) ||
        (next != nullptr && present.indexOf(*action) > present.indexOf(next))) {
      menu_.insertAction(next, *action);
    }
    next = *action;
  }
  for (QAction* action : menu_.actions()) {
    if (std::find(shown.begin(), shown.end(), action) == shown.end()) action->setVisible(false);
  }
#ifdef Q_OS_MACOS
  // Last, once Qt has written every native item of this opening.
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (shown[i]->isCheckable()) showNativeCheck(menu_, *shown[i], rows[i].check);
  }
#endif
}

QAction* StatusItem::entry(const MenuRow& row, int ordinal) {
  QAction*& action = entries_[{row.separator, row.action, ordinal}];
  if (action != nullptr) return action;
  action = new QAction(&menu_);
  action->setSeparator(row.separator);
  action->setCheckable(isToggle(row.action));
  if (row.action != MenuAction::None) {
    connect(action, &QAction::triggered, this,
            [this, chosen = row.action] { emit this->chosen(chosen); });
  }
  return action;
}

}  // namespace jolstrand
