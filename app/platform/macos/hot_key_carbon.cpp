// macOS: Command-Space through the Carbon Event Manager, signature "JOLR", id 1.

#include <Carbon/Carbon.h>

#include <QCoreApplication>

#include "hot_key.hpp"

namespace jolstrand {
namespace {

constexpr UInt32 spaceKey = 49;
constexpr OSType signature = 0x4A4F4C52;  // "JOLR"

class CarbonHotKey final : public HotKey::Platform {
 public:
  explicit CarbonHotKey(const std::function<void()>& action) : action_(action) {}
  ~CarbonHotKey() override { release(); }

  std::int32_t grab() override {
    release();
    const EventTypeSpec pressed{kEventClassKeyboard, kEventHotKeyPressed};
    InstallEventHandler(GetApplicationEventTarget(), &CarbonHotKey::callback, 1, &pressed, this,
                        &handler_);
    const EventHotKeyID identifier{signature, 1};
    return RegisterEventHotKey(spaceKey, cmdKey, identifier, GetApplicationEventTarget(), 0, &ref_);
  }

 private:
  static OSStatus callback(EventHandlerCallRef /*next*/, EventRef /*event*/, void* self) {
    const auto* platform = static_cast<CarbonHotKey*>(self);
    QMetaObject::invokeMethod(QCoreApplication::instance(), platform->action_,
                              Qt::QueuedConnection);
    return noErr;
  }

  void release() {
    if (ref_ != nullptr) UnregisterEventHotKey(ref_);
    if (handler_ != nullptr) RemoveEventHandler(handler_);
    ref_ = nullptr;
    handler_ = nullptr;
  }

  const std::function<void()>& action_;
  EventHotKeyRef ref_ = nullptr;
  EventHandlerRef handler_ = nullptr;
};

}  // namespace

std::unique_ptr<HotKey::Platform> HotKey::makePlatform(const std::function<void()>& action) {
  return std::make_unique<CarbonHotKey>(action);
}

}  // namespace jolstrand
