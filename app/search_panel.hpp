#pragma once
// The launcher's floating window: borderless, translucent with rounded corners, above other
// windows, out of the task bar and window cycling, not movable. It offers every key press inside
// it to its owner before the focused widget sees it, and tells its owner when it loses focus.
// Main thread only.

#include <QWidget>
#include <functional>

class QKeyEvent;

namespace jolstrand {

class SearchPanel : public QWidget {
  Q_OBJECT

 public:
  SearchPanel();
  ~SearchPanel() override;

  /// Offered every key press inside the panel first; true means consumed.
  std::function<bool(QKeyEvent*)> onKey;
  /// Called after the panel has lost keyboard focus to another window.
  std::function<void()> onResignKey;

  /// Whether an input method is composing text in the panel.
  [[nodiscard]] bool isComposing() const { return composing_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool composing_ = false;
  bool active_ = false;
};

}  // namespace jolstrand
