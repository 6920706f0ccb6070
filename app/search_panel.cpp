#include "search_panel.hpp"

#include <QChildEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "panel_layout.hpp"
#include "platform/panel_window.hpp"
#include "platform/window_system.hpp"

namespace jolstrand {

SearchPanel::SearchPanel()
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setAttribute(Qt::WA_TranslucentBackground);
  setAttribute(Qt::WA_ShowWithoutActivating, false);
  setFixedSize(layout::panelWidth, layout::searchBarHeight);
  setWindowTitle(QString::fromLatin1(panelWindowTitle));
  installEventFilter(this);  // the panel's own keys; its children are added in event()
  makeFloatingPanel(*this);
}

// Sees the key presses of the panel and of its direct children (the query field among them)
// before they do.
bool SearchPanel::eventFilter(QObject* /*watched*/, QEvent* event) {
  if (event->type() == QEvent::InputMethod) {
    composing_ = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
  } else if (event->type() == QEvent::KeyPress) {
    const bool accepted = event->isAccepted();
    event->ignore();
    emit keyPressed(static_cast<QKeyEvent*>(event));
    if (event->isAccepted()) return true;
    event->setAccepted(accepted);  // declined: delivered as it came
  }
  return false;
}

// Only a panel that had the focus can lose it: a window system may report a deactivation
// while the panel is still being mapped, before it ever became active.
bool SearchPanel::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::ChildAdded:
      static_cast<QChildEvent*>(event)->child()->installEventFilter(this);
      break;
    case QEvent::WindowActivate:
      active_ = true;
      break;
    case QEvent::WindowDeactivate:
      if (std::exchange(active_, false)) emit focusLost();
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
