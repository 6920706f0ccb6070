// macOS: takes over the reopen Apple event ('rapp'), which the system sends when the running
// program is opened again from Finder, the Dock or `open`.

#import <AppKit/AppKit.h>
#import <CoreServices/CoreServices.h>

#include <QPointer>

#include "platform/reopen_events.hpp"

namespace {

QPointer<jolstrand::ReopenEvents> listener;

}  // namespace

@interface JolstrandReopenHandler : NSObject
- (void)handleReopen:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply;
@end

@implementation JolstrandReopenHandler
- (void)handleReopen:(NSAppleEventDescriptor*)event withReplyEvent:(NSAppleEventDescriptor*)reply {
  (void)event;
  (void)reply;
  if (listener) emit listener->reopened();
}
@end

namespace jolstrand {

ReopenEvents::ReopenEvents(QObject* parent) : QObject(parent) {
  listener = this;
  // Lives as long as the process, as the event manager's registration does.
  static JolstrandReopenHandler* handler = [[JolstrandReopenHandler alloc] init];
  [[NSAppleEventManager sharedAppleEventManager] setEventHandler:handler
                                                     andSelector:@selector(handleReopen:
                                                                         withReplyEvent:)
                                                   forEventClass:kCoreEventClass
                                                      andEventID:kAEReopenApplication];
}

}  // namespace jolstrand
