#pragma once
// The launcher's controller: owns every long-lived service (catalogue source, usage store,
// matcher, search controller, setup, about and support-reminder windows, updater, hot key,
// Spotlight check, folder watcher, login item, status item) for the whole process. It starts
// them in a fixed order, toggles the search panel on each hot-key press, rescans the catalogue in
// the background when the application folders change (requests during a scan collapse into one
// follow-up scan), registers the hot key again when Spotlight lets go of Command-Space, and
// carries out the status menu's entries. Main thread only; the scans themselves run on the
// serial queue "jolstrand.scan".

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "about_window_controller.hpp"
#include "catalogue_source.hpp"
#include "jolstrand/folder_watcher.hpp"
#include "jolstrand/matcher.hpp"
#include "jolstrand/serial_queue.hpp"
#include "jolstrand/usage_store.hpp"
#include "platform/hot_key_backend.hpp"
#include "platform/login_item.hpp"
#include "platform/spotlight_check.hpp"
#include "program_alert.hpp"
#include "search_controller.hpp"
#include "setup_window_controller.hpp"
#include "status_item.hpp"
#include "support_reminder.hpp"
#include "updater.hpp"

class QSettings;

namespace jolstrand {

class MainQueue;
class ProgramInfo;
class Workspace;

class AppDelegate : public QObject {
  Q_OBJECT

 public:
  /// Shows a modal alert: the message and its informative text.
  using Alert = std::function<void(const QString& message, const QString& information)>;

  /// What the controller is built from. mainQueue, workspace, settings and program must outlive
  /// it; the rest it owns.
  struct Services {
    MainQueue& mainQueue;
    Workspace& workspace;
    QSettings& settings;         ///< the program's settings (the support reminder's schedule)
    const ProgramInfo& program;  ///< the program's own Info.plist (version, update feed)
    std::vector<std::string> arguments;  ///< the command line, program path first
    SearchController::ScreenSnapshotSource screens;
    SearchController::PanelPlacer placePanel = {};
    std::string usageFile;
    std::unique_ptr<CatalogueSource> catalogue;
    std::unique_ptr<HotKeyBackend> hotKey;
    std::unique_ptr<SpotlightCheck> spotlight;
    std::unique_ptr<LoginItem> loginItem;
    Updater::EngineFactory updateEngine;
    std::function<void()> openKeyboardSettings;
    Alert alert = showAlert;
    ShortcutRoute route = ShortcutRoute::keyGrab;           ///< picks the words for the shortcut
    QString shortcutCommand = QStringLiteral("jolstrand");  ///< how a desktop shortcut runs us
  };

  explicit AppDelegate(Services services);
  ~AppDelegate() override;

  /// The start-up sequence, once the event loop runs.
  void applicationDidFinishLaunching();
  /// The program was started again while running: show the panel, emptied, taking the focus
  /// with the activation token that start was given (may be empty).
  void reopen(const QString& activationToken = {});
  /// The program was run again (by the desktop's shortcut, where it runs `jolstrand`): reopen,
  /// and while the setup window is open this counts as the hot key's press.
  void startedAgain(const QString& activationToken);
  /// Requests a catalogue rescan in the background.
  void rescan();
  /// Reads again whether Spotlight holds Command-Space; registers the hot key again when it has
  /// just let go. Returns the new answer.
  bool recheckSpotlight();
  /// The status menu's rows for an opening: the Spotlight re-check first, so they are current.
  [[nodiscard]] std::vector<MenuRow> menuRows();

  /// The status menu's entries.
  void perform(MenuAction action);
  /// Shows the panel on the next turn of the event loop, once the menu has closed; never hides.
  void showPanel();
  void showSetup();
  void rescanFromMenu();
  /// Registers the login item when it is off, else unregisters it; a refusal is shown in an
  /// alert.
  void toggleLoginItem();
  void checkForUpdates();
  void toggleAutoUpdate();
  void about();
  void openSupport();
  /// Ends the event loop; what is torn down after it (queued usage saves) still completes.
  void quit();

  [[nodiscard]] const Matcher& matcher() const { return matcher_; }
  [[nodiscard]] std::int32_t hotKeyStatus() const { return hotKeyStatus_; }
  [[nodiscard]] bool spotlightHolds() const { return spotlightHolds_; }
  [[nodiscard]] SearchController& search() { return search_; }
  [[nodiscard]] SetupWindowController& setup() { return setup_; }
  [[nodiscard]] AboutWindowController& aboutWindow() { return aboutWindow_; }
  [[nodiscard]] SupportReminder& support() { return support_; }
  [[nodiscard]] Updater& updater() { return updater_; }
  /// None before the start-up sequence.
  [[nodiscard]] StatusItem* statusItem() { return statusItem_.get(); }

 private:
  void hotKeyPressed(const QString& activationToken);
  /// A press reached the launcher: the setup window, when open, confirms it.
  void confirmHotKey();
  [[nodiscard]] ShortcutDetails shortcutDetails() const;
  /// Step 2's button of the setup window: adds or removes the desktop's shortcut.
  void changeDesktopShortcut(ShortcutButton button);
  void install(Matcher matcher);
  void setUpStatusItem();
  [[nodiscard]] bool hasArgument(std::string_view argument) const;
  [[nodiscard]] bool setupVisible() const;
  /// Runs work on the next turn of the event loop, unless the controller is gone by then.
  void later(std::function<void()> work);

  MainQueue& mainQueue_;
  Workspace& workspace_;
  const std::vector<std::string> arguments_;
  const MenuTexts& texts_;
  const std::unique_ptr<CatalogueSource> catalogue_;
  UsageStore usage_;
  SearchController search_;
  SetupWindowController setup_;
  AboutWindowController aboutWindow_;
  SupportReminder support_;
  Updater updater_;
  const std::unique_ptr<HotKeyBackend> hotKey_;
  const std::unique_ptr<SpotlightCheck> spotlight_;
  const std::unique_ptr<LoginItem> loginItem_;
  const std::function<void()> openKeyboardSettings_;
  const QString shortcutCommand_;
  const Alert alert_;
  std::int32_t hotKeyStatus_ = 0;
  bool spotlightHolds_ = false;
  std::unique_ptr<FolderWatcher> watcher_;
  std::unique_ptr<StatusItem> statusItem_;
  bool scanning_ = false;
  bool scanAgain_ = false;
  Matcher matcher_;
  // Last: drained before anything it uses goes. Below typing, so that a rescan never slows it.
  SerialQueue scanQueue_{"jolstrand.scan", SerialQueue::Priority::utility};
};

}  // namespace jolstrand
