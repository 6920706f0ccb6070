#include "app_delegate.hpp"

#include <QPointer>

#include "jolstrand/log.hpp"
#include "jolstrand/main_queue.hpp"
#include "thread_hand_off.hpp"
#include "trace.hpp"

namespace jolstrand {

AppDelegate::AppDelegate(Services services)
    : mainQueue_(services.mainQueue),
      catalogue_(std::move(services.catalogue)),
      usage_(std::move(services.usageFile)),
      search_(services.workspace, std::move(services.screens)),
      hotKey_(std::move(services.hotKey)),
      spotlight_(std::move(services.spotlight)) {
  connect(hotKey_.get(), &HotKeyBackend::pressed, this, &AppDelegate::hotKeyPressed);
}

// Quitting waits for a scan that is running, but not for one that has yet to start.
AppDelegate::~AppDelegate() {
  scanQueue_.dropPending();
}

// The order matters: the first scan comes before the hot key, so that no press meets an empty
// catalogue.
void AppDelegate::applicationDidFinishLaunching() {
  search_.matcher = [this] { return matcher_; };
  search_.usageStore = &usage_;
  matcher_ = Matcher(catalogue_->scan());
  hotKeyStatus_ = hotKey_->registerKey();
  spotlightHolds_ = spotlight_->holdsCommandSpace();
  watcher_ = std::make_unique<FolderWatcher>(mainQueue_, catalogue_->watchPaths(), 1.0,
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
  // The queue is drained before the controller's other members go, so the scan may use them.
  scanQueue_.async([this] {
    Matcher matcher(catalogue_->scan());
    QMetaObject::invokeMethod(this, handedOver([this, matcher = std::move(matcher)]() mutable {
                                install(std::move(matcher));
                              }),
                              Qt::QueuedConnection);
  });
}

void AppDelegate::install(Matcher matcher) {
  Trace::begin(Trace::Span::rescanInstall);
  matcher_ = std::move(matcher);
  logLine("rescan found " + std::to_string(matcher_.entries().size()) + " apps");
  scanning_ = false;
  search_.catalogueChanged();
  Trace::end(Trace::Span::rescanInstall);
  if (std::exchange(scanAgain_, false)) rescan();
}

bool AppDelegate::recheckSpotlight() {
  const bool holds = spotlight_->holdsCommandSpace();
  if (spotlightHolds_ && !holds) hotKeyStatus_ = hotKey_->registerKey();
  spotlightHolds_ = holds;
  return holds;
}

}  // namespace jolstrand
