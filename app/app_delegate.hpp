#pragma once
// The launcher's controller: owns every long-lived service (scanner, usage store, matcher,
// search controller, hot key, folder watcher) for the whole process. It starts them in a fixed
// order, toggles the search panel on each hot-key press, rescans the catalogue in the background
// when the application folders change (requests during a scan collapse into one follow-up scan)
// and re-registers the hot key when Spotlight lets go of Command-Space.
// Main thread only; the scans themselves run on the serial queue "jolstrand.scan".

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hot_key.hpp"
#include "jolstrand/app_scanner.hpp"
#include "jolstrand/folder_watcher.hpp"
#include "jolstrand/matcher.hpp"
#include "jolstrand/serial_queue.hpp"
#include "jolstrand/usage_store.hpp"
#include "search_controller.hpp"

namespace jolstrand {

class MainQueue;
class Workspace;

class AppDelegate : public QObject {
  Q_OBJECT

 public:
  /// mainQueue and workspace must outlive the controller.
  AppDelegate(MainQueue& mainQueue, Workspace& workspace);
  ~AppDelegate() override;

  /// The start-up sequence, once the event loop runs.
  void applicationDidFinishLaunching();
  /// The program was started again while running: show the panel, emptied.
  void reopen();
  /// Requests a catalogue rescan in the background.
  void rescan();
  /// Reads again whether Spotlight holds Command-Space; registers the hot key again when it has
  /// just let go. Returns the new answer.
  bool recheckSpotlight();

  [[nodiscard]] const Matcher& matcher() const { return matcher_; }
  [[nodiscard]] std::int32_t hotKeyStatus() const { return hotKeyStatus_; }
  [[nodiscard]] bool spotlightHolds() const { return spotlightHolds_; }
  [[nodiscard]] SearchController& search() { return search_; }

  /// The platform pieces the controller calls; replaceable before launch (tests).
  std::function<std::vector<AppEntry>(const AppScanner&)> scanCatalogue;
  std::function<bool()> checkSpotlight;
  std::function<std::int32_t()> registerHotKey;

 private:
  void hotKeyPressed();
  void install(Matcher matcher);

  MainQueue& mainQueue_;
  AppScanner scanner_;
  UsageStore usage_;
  SearchController search_;
  HotKey hotKey_;
  std::int32_t hotKeyStatus_ = 0;
  bool spotlightHolds_ = false;
  std::unique_ptr<FolderWatcher> watcher_;
  bool scanning_ = false;
  bool scanAgain_ = false;
  Matcher matcher_;
  SerialQueue scanQueue_{"jolstrand.scan"};  // last: drained before anything it uses goes
};

}  // namespace jolstrand
