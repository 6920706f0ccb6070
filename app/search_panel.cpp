#include "search_panel.hpp"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "panel_layout.hpp"
#include "platform/panel_window.hpp"

namespace jolstrand {

SearchPanel::SearchPanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  setFixedSize(layout::panelWidth, layout::searchBarHeight);
  qApp->installEventFilter(this);  // sees key presses before the focused widget does
  makeFloatingPanel(*this);
}

SearchPanel::~SearchPanel() {
  qApp->removeEventFilter(this);
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr || widget->window() != this) return false;
  if (event->type() == QEvent::InputMethod) {
    composing_ = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
  } else if (event->type() == QEvent::KeyPress && onKey) {
    return onKey(static_cast<QKeyEvent*>(event));
  }
  return false;
}

// Only a panel that had the focus can lose it: a window system may report a deactivation
// while the panel is still being mapped, before it ever became active.
bool SearchPanel::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::WindowActivate:
      active_ = true;
      break;
    case QEvent::WindowDeactivate:
      if (std::exchange(active_, false) && onResignKey) onResignKey();
      break;
    case QEvent::Hide:
      active_ = false;
      break;
    default:
      break;
  }
  return handled;
}

void SearchPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath shape;
  shape.addRoundedRect(rect(), 16, 16);
  QColor background = palette().color(QPalette::Window);
  background.setAlphaF(0.94F);
  painter.fillPath(shape, background);
}

}  // namespace jolstrand
