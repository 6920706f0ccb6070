#pragma once
// The setup window: walks the user through freeing Command-Space (Super-Space on Linux) from
// Spotlight (the desktop) and confirms once a press has reached the launcher. It shows what
// setupView decides from the three closures and hotKeyWorked, again every 0.5 s while it is open.
// The window is built on the first show() and kept; closing only hides it and stops the refresh.
// Main thread only.

#include <QIcon>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>

#include "companion_texts.hpp"
#include "setup_steps.hpp"

class QLabel;
class QPushButton;
class QShortcut;
class QWidget;

namespace jolstrand {

class SetupWindowController : public QObject {
  Q_OBJECT

 public:
  /// icon: the program's own, shown at 64 points; texts: the platform's.
  SetupWindowController(QIcon icon, SetupTexts texts);
  ~SetupWindowController() override;

  /// Whether Spotlight holds the shortcut now; may register the hot key again. Default: true.
  std::function<bool()> checkSpotlight = [] { return true; };
  /// The hot key's registration status (0: registered). Default: 0.
  std::function<std::int32_t()> hotKeyStatus = [] { return 0; };
  /// Opens the desktop's keyboard settings. Default: nothing.
  std::function<void()> onOpenSettings = [] {};
  /// What the desktop says of the shortcut beyond the status (Linux). Default: nothing.
  std::function<ShortcutDetails()> shortcutDetails = [] { return ShortcutDetails{}; };
  /// Step 2's button was clicked: add or remove the desktop's shortcut. Default: nothing.
  std::function<void(ShortcutButton)> onShortcutButton = [](ShortcutButton) {};

  /// Set by the owner when the hot key fired while the window was visible; then update().
  bool hotKeyWorked = false;

  /// Builds the window the first time, clears hotKeyWorked, refreshes, centres it, brings it to
  /// the front and (re)starts the refresh.
  void show();
  /// Evaluates the closures and shows the result.
  void update();

  /// The window, once built (none before the first show()).
  [[nodiscard]] QWidget* window() const;
  /// Whether the 0.5 s refresh runs.
  [[nodiscard]] bool isRefreshing() const { return timer_.isActive(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  void render(const SetupView& view);

  QIcon icon_;
  SetupTexts texts_;
  std::unique_ptr<QWidget> window_;  // holds every view below; laid out by build()
  bool built_ = false;
  QTimer timer_{this};
  QLabel* step1Icon_;
  QLabel* step1Title_;
  QLabel* step1Body_;
  QPushButton* step1Button_;
  QWidget* step1ButtonRow_;
  QLabel* step2Icon_;
  QLabel* step2Title_;
  QLabel* step2Body_;
  QPushButton* step2Button_;
  QWidget* step2ButtonRow_;
  ShortcutButton shownButton_ = ShortcutButton::none;
  QPushButton* doneButton_;
  QShortcut* returnKey_;
};

}  // namespace jolstrand
