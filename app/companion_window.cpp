#include "companion_window.hpp"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include "platform/accessory_app.hpp"

namespace jolstrand {

void makeCompanionWindow(QWidget& window, const QString& title) {
  window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint);
  window.setWindowTitle(title);
}

QLabel* makeWrappingLabel(QWidget* parent, int width) {
  auto* label = new QLabel(parent);
  label->setWordWrap(true);
  label->setFixedWidth(width);
  label->setTextFormat(Qt::PlainText);
  return label;
}

void setTextRole(QWidget& widget, ColorRole role) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, colorFor(role, widget.window()->palette()));
  palette.setColor(QPalette::ButtonText, colorFor(role, widget.window()->palette()));
  widget.setPalette(palette);
}

// An accessory application's window opens behind the front application unless the application
// is activated first.
void bringForwardCentred(QWidget& window) {
  activateApplication();
  window.adjustSize();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
  }
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace jolstrand
