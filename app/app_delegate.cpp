#include "app_delegate.hpp"

#include "jolstrand/log.hpp"
#include "jolstrand/main_queue.hpp"
#include "spotlight_shortcut.hpp"
#include "trace.hpp"

namespace jolstrand {

AppDelegate::AppDelegate(MainQueue& mainQueue, Workspace& workspace)
    : scanCatalogue([](const AppScanner& scanner) { return scanner.scan(); }),
      checkSpotlight([] { return SpotlightShortcut::holdsCommandSpace(); }),
      registerHotKey([this] { return hotKey_.registerKey(); }),
      mainQueue_(mainQueue),
      scanner_(AppScanner::standard()),
      usage_(UsageStore::defaultURL()),
      search_(workspace),
      hotKey_([self = QPointer(this)] {
        if (self) self->hotKeyPressed();
      }) {}

// Quitting waits for a scan that is running, but not for one that has yet to start.
AppDelegate::~AppDelegate() {
  scanQueue_.dropPending();
}

// The order matters: the first scan comes before the hot key, so that no press meets an empty
// catalogue. The status item, the setup window (opened here when Spotlight holds the shortcut
// or for "--setup"), the about window ("--about"), the support reminder and the updater join
// this sequence, in that order, after the watcher.
void AppDelegate::applicationDidFinishLaunching() {
  search_.matcher = [this] { return matcher_; };
  search_.usageStore = &usage_;
  matcher_ = Matcher(scanCatalogue(scanner_));
  hotKeyStatus_ = registerHotKey();
  spotlightHolds_ = checkSpotlight();
  watcher_ = std::make_unique<FolderWatcher>(mainQueue_, scanner_.watchPaths(), 1.0,
                                             [self = QPointer(this)] {
                                               if (self) self->rescan();
                                             });
}

void AppDelegate::reopen() {
  search_.show();
}

void AppDelegate::hotKeyPressed() {
  search_.toggle();
}

void AppDelegate::rescan() {
  if (scanning_) {
    scanAgain_ = true;
    return;
  }
  scanning_ = true;
  // The catalogue and its matcher are built on the scan queue; only the swap is main-thread work.
  scanQueue_.async(
      [&mainQueue = mainQueue_, scanner = scanner_, scan = scanCatalogue, self = QPointer(this)] {
        Matcher matcher(scan(scanner));
        mainQueue.post([self, matcher = std::move(matcher)]() mutable {
          if (self) self->install(std::move(matcher));
        });
      });
}

void AppDelegate::install(Matcher matcher) {
  Trace::begin(Trace::Span::rescanInstall);
  matcher_ = std::move(matcher);
  logLine("Jolstrand: rescan found " + std::to_string(matcher_.entries().size()) + " apps");
  scanning_ = false;
  search_.catalogueChanged();
  Trace::end(Trace::Span::rescanInstall);
  if (std::exchange(scanAgain_, false)) rescan();
}

bool AppDelegate::recheckSpotlight() {
  const bool holds = checkSpotlight();
  if (spotlightHolds_ && !holds) hotKeyStatus_ = registerHotKey();
  spotlightHolds_ = holds;
  return holds;
}

}  // namespace jolstrand
