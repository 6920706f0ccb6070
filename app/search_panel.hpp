#pragma once
// The launcher's floating window: borderless, translucent with rounded corners, above other
// windows, out of the task bar and window cycling, not movable. Every key press inside it is
// offered to its owner through `keyPressed` before the focused widget sees it, and it reports
// losing the focus to another window through `focusLost`. Main thread only.

#include <QWidget>

class QKeyEvent;

namespace jolstrand {

class SearchPanel : public QWidget {
  Q_OBJECT

 public:
  SearchPanel();

  /// Whether an input method is composing text in the panel.
  [[nodiscard]] bool isComposing() const { return composing_; }

 signals:
  /// A key press inside the panel, before the focused widget sees it. The event arrives
  /// ignored; a receiver that takes it accepts it, and it then goes no further. Connect
  /// directly (the default within the main thread): the answer is read when the signal returns.
  void keyPressed(QKeyEvent* event);
  /// The panel lost the keyboard focus to another window.
  void focusLost();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool composing_ = false;
  bool active_ = false;
};

}  // namespace jolstrand
