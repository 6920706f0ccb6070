// macOS: the update engine is Sparkle 2's standard updater controller, with one small object as
// both of its delegates passing every question on to the program's UpdateEngineEvents.
// Objective-C++, compiled with ARC.

#import <AppKit/AppKit.h>
#import <Sparkle/Sparkle.h>

#include <memory>
#include <optional>
#include <string>

#include "platform/update_engine.hpp"

namespace {

std::string utf8(NSString* text) {
  return text == nil ? std::string() : std::string(text.UTF8String);
}

std::string describe(NSError* error) {
  return error == nil ? std::string("Sparkle gave no reason") : utf8(error.localizedDescription);
}

}  // namespace

@interface JolstrandSparkleDelegate : NSObject <SPUUpdaterDelegate, SPUStandardUserDriverDelegate>
- (instancetype)initWithEvents:(jolstrand::UpdateEngineEvents*)events;
@end

@implementation JolstrandSparkleDelegate {
  jolstrand::UpdateEngineEvents* events_;
}

- (instancetype)initWithEvents:(jolstrand::UpdateEngineEvents*)events {
  if ((self = [super init])) events_ = events;
  return self;
}

- (nullable NSString*)feedURLStringForUpdater:(SPUUpdater*)updater {
  (void)updater;
  const auto feed = events_->feedURLString();
  return feed ? [NSString stringWithUTF8String:feed->c_str()] : nil;
}

- (BOOL)updater:(SPUUpdater*)updater
       willInstallUpdateOnQuit:(SUAppcastItem*)item
    immediateInstallationBlock:(void (^)(void))immediateInstallHandler {
  (void)updater;
  void (^installNow)(void) = [immediateInstallHandler copy];
  return events_->willInstallUpdateOnQuit(utf8(item.displayVersionString),
                                          [installNow] { installNow(); });
}

- (void)updater:(SPUUpdater*)updater didAbortWithError:(NSError*)error {
  (void)updater;
  events_->didAbortWithError(describe(error));
}

- (BOOL)supportsGentleScheduledUpdateReminders {
  return events_->supportsGentleScheduledUpdateReminders();
}

- (BOOL)standardUserDriverShouldHandleShowingScheduledUpdate:(SUAppcastItem*)update
                                         andInImmediateFocus:(BOOL)immediateFocus {
  (void)update;
  return events_->shouldHandleShowingScheduledUpdate(immediateFocus);
}

- (void)standardUserDriverWillHandleShowingUpdate:(BOOL)handleShowingUpdate
                                        forUpdate:(SUAppcastItem*)update
                                            state:(SPUUserUpdateState*)state {
  (void)state;
  events_->willHandleShowingUpdate(handleShowingUpdate, utf8(update.displayVersionString));
}

- (void)standardUserDriverDidReceiveUserAttentionForUpdate:(SUAppcastItem*)update {
  (void)update;
  events_->didReceiveUserAttentionForUpdate();
}

- (void)standardUserDriverWillFinishUpdateSession {
  events_->willFinishUpdateSession();
}

@end

namespace jolstrand {
namespace {

class SparkleEngine final : public UpdateEngine {
 public:
  explicit SparkleEngine(UpdateEngineEvents& events)
      : delegate_([[JolstrandSparkleDelegate alloc] initWithEvents:&events]),
        controller_([[SPUStandardUpdaterController alloc] initWithStartingUpdater:NO
                                                                  updaterDelegate:delegate_
                                                               userDriverDelegate:delegate_]) {}

  std::optional<std::string> startUpdater() override {
    NSError* error = nil;
    if ([controller_.updater startUpdater:&error]) return std::nullopt;
    return describe(error);
  }

  void checkForUpdates() override { [controller_ checkForUpdates:nil]; }

  bool automaticallyDownloadsUpdates() const override {
    return controller_.updater.automaticallyDownloadsUpdates;
  }

  void setAutomaticallyDownloadsUpdates(bool on) override {
    controller_.updater.automaticallyDownloadsUpdates = on;
  }

 private:
  // The controller holds its delegates weakly; this keeps the one object alive beside it.
  JolstrandSparkleDelegate* const delegate_;
  SPUStandardUpdaterController* const controller_;
};

}  // namespace

std::unique_ptr<UpdateEngine> makeUpdateEngine(UpdateEngineEvents& events,
                                               const UpdateEngineContext& /*context*/) {
  return std::make_unique<SparkleEngine>(events);
}

}  // namespace jolstrand
