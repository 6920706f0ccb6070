// macOS: the login item is the application's own item in Service Management (macOS 13 and
// later); on older systems, and in a build with an SDK older than macOS 13's (which has no
// SMAppService), it reads as not found and cannot be changed. Objective-C++.

#import <Foundation/Foundation.h>
#import <ServiceManagement/ServiceManagement.h>

#include "platform/login_item.hpp"

#if __MAC_OS_X_VERSION_MAX_ALLOWED >= 130000
#define JOLSTRAND_HAS_APP_SERVICE 1
#endif

namespace jolstrand {
namespace {

#ifdef JOLSTRAND_HAS_APP_SERVICE
QString describe(NSError* error) {
  if (error == nil) return QStringLiteral("The system refused without giving a reason.");
  return QString::fromNSString(error.localizedDescription);
}
#endif

class MainAppLoginItem final : public LoginItem {
 public:
  LoginItemStatus status() override {
#ifdef JOLSTRAND_HAS_APP_SERVICE
    if (@available(macOS 13.0, *)) {
      switch (SMAppService.mainAppService.status) {
        case SMAppServiceStatusEnabled:
          return LoginItemStatus::Enabled;
        case SMAppServiceStatusRequiresApproval:
          return LoginItemStatus::RequiresApproval;
        case SMAppServiceStatusNotFound:
          return LoginItemStatus::NotFound;
        case SMAppServiceStatusNotRegistered:
          break;
      }
      return LoginItemStatus::NotRegistered;
    }
#endif
    return LoginItemStatus::NotFound;
  }

  std::optional<QString> enable() override {
    return change(true);
  }
  std::optional<QString> disable() override {
    return change(false);
  }

  void openApprovalSettings() override {
#ifdef JOLSTRAND_HAS_APP_SERVICE
    if (@available(macOS 13.0, *)) {
      [SMAppService openSystemSettingsLoginItems];
    }
#endif
  }

 private:
  static std::optional<QString> change([[maybe_unused]] bool registering) {
#ifdef JOLSTRAND_HAS_APP_SERVICE
    if (@available(macOS 13.0, *)) {
      @autoreleasepool {
        SMAppService* service = SMAppService.mainAppService;
        NSError* error = nil;
        const BOOL done = registering ? [service registerAndReturnError:&error]
                                      : [service unregisterAndReturnError:&error];
        if (done) return std::nullopt;
        return describe(error);
      }
    }
#endif
    return QStringLiteral("Launch at Login needs macOS 13 or later.");
  }
};

}  // namespace

std::unique_ptr<LoginItem> makeLoginItem(std::string /*configHome*/, std::string /*program*/) {
  return std::make_unique<MainAppLoginItem>();
}

}  // namespace jolstrand
