#pragma once
// The launcher's controller: owns every long-lived service (catalogue source, usage store,
// matcher, search controller, hot key, Spotlight check, folder watcher) for the whole process.
// It starts them in a fixed order, toggles the search panel on each hot-key press, rescans the
// catalogue in the background when the application folders change (requests during a scan
// collapse into one follow-up scan) and registers the hot key again when Spotlight lets go of
// Command-Space. Main thread only; the scans themselves run on the serial queue "jolstrand.scan".

#include <QObject>
#include <cstdint>
#include <memory>
#include <string>

#include "catalogue_source.hpp"
#include "jolstrand/folder_watcher.hpp"
#include "jolstrand/matcher.hpp"
#include "jolstrand/serial_queue.hpp"
#include "jolstrand/usage_store.hpp"
#include "platform/hot_key_backend.hpp"
#include "platform/spotlight_check.hpp"
#include "search_controller.hpp"

namespace jolstrand {

class MainQueue;
class Workspace;

class AppDelegate : public QObject {
  Q_OBJECT

 public:
  /// What the controller is built from. mainQueue and workspace must outlive it; the rest it
  /// owns.
  struct Services {
    MainQueue& mainQueue;
    Workspace& workspace;
    SearchController::ScreenSnapshotSource screens;
    std::string usageFile;
    std::unique_ptr<CatalogueSource> catalogue;
    std::unique_ptr<HotKeyBackend> hotKey;
    std::unique_ptr<SpotlightCheck> spotlight;
  };

  explicit AppDelegate(Services services);
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

 private:
  void hotKeyPressed();
  void install(Matcher matcher);

  MainQueue& mainQueue_;
  const std::unique_ptr<CatalogueSource> catalogue_;
  UsageStore usage_;
  SearchController search_;
  const std::unique_ptr<HotKeyBackend> hotKey_;
  const std::unique_ptr<SpotlightCheck> spotlight_;
  std::int32_t hotKeyStatus_ = 0;
  bool spotlightHolds_ = false;
  std::unique_ptr<FolderWatcher> watcher_;
  bool scanning_ = false;
  bool scanAgain_ = false;
  Matcher matcher_;
  SerialQueue scanQueue_{"jolstrand.scan"};  // last: drained before anything it uses goes
};

}  // namespace jolstrand
