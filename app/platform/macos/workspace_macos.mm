// macOS: the workspace opens, reveals and draws icons. Objective-C++.

#import <AppKit/AppKit.h>

#include "jolstrand/log.hpp"
#include "platform/macos/image_drawing_macos.hpp"
#include "platform/workspace.hpp"

namespace jolstrand {
namespace {

NSURL* fileURL(const std::string& path) {
  return [NSURL fileURLWithPath:[NSString stringWithUTF8String:path.c_str()]];
}

class MacWorkspace final : public Workspace {
 public:
  void openApplication(const std::string& path, const std::string& /*activationToken*/) override {
    NSWorkspaceOpenConfiguration* configuration = [NSWorkspaceOpenConfiguration configuration];
    configuration.activates = YES;
    const std::string opened = path;
    [[NSWorkspace sharedWorkspace]
        openApplicationAtURL:fileURL(path)
               configuration:configuration
           completionHandler:^(NSRunningApplication* application, NSError* error) {
             if (error != nil) {
               logLine("couldn't open " + opened + ": " +
                       std::string(error.localizedDescription.UTF8String));
               return;
             }
             if (application != nil && !application.active) {
               dispatch_async(dispatch_get_main_queue(), ^{
                 [application activateWithOptions:0];
               });
             }
           }];
  }

  void reveal(const std::string& path, const std::string& /*activationToken*/) override {
    [[NSWorkspace sharedWorkspace] activateFileViewerSelectingURLs:@[ fileURL(path) ]];
    NSArray<NSRunningApplication*>* finders =
        [NSRunningApplication runningApplicationsWithBundleIdentifier:@"com.apple.finder"];
    [finders.firstObject activateWithOptions:0];
  }

  void openURL(const QUrl& url) override {
    NSURL* address = [NSURL URLWithString:url.toNSURL().absoluteString];
    if (address != nil) [[NSWorkspace sharedWorkspace] openURL:address];
  }

  // The icon is drawn at the size it is shown at, from the representation that suits it.
  QImage icon(const std::string& path, int points, qreal pixelRatio) override {
    @autoreleasepool {
      NSImage* image =
          [[NSWorkspace sharedWorkspace] iconForFile:[NSString stringWithUTF8String:path.c_str()]];
      const int pixels = qRound(points * pixelRatio);
      QImage out = drawnImage(image, pixels, NSMakeSize(pixels, pixels));
      out.setDevicePixelRatio(pixelRatio);
      return out;
    }
  }
};

}  // namespace

std::unique_ptr<Workspace> makeWorkspace(const ProgramLookup& /*programs*/) {
  return std::make_unique<MacWorkspace>();
}

}  // namespace jolstrand
