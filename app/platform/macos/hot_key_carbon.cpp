// macOS: Command-Space through the Carbon Event Manager, signature "JOLR", id 1.

#include <Carbon/Carbon.h>

#include "platform/hot_key_backend.hpp"

namespace jolstrand {
namespace {

constexpr UInt32 spaceKey = 49;
constexpr OSType signature = 0x4A4F4C52;  // "JOLR"

class CarbonHotKey final : public HotKeyBackend {
 public:
  ~CarbonHotKey() override { unregisterKey(); }

  std::int32_t registerKey() override {
    unregisterKey();
    const EventTypeSpec pressedType{kEventClassKeyboard, kEventHotKeyPressed};
    InstallEventHandler(GetApplicationEventTarget(), &CarbonHotKey::callback, 1, &pressedType, this,
                        &handler_);
    const EventHotKeyID identifier{signature, 1};
    return RegisterEventHotKey(spaceKey, cmdKey, identifier, GetApplicationEventTarget(), 0, &ref_);
  }

  void unregisterKey() override {
    if (ref_ != nullptr) UnregisterEventHotKey(ref_);
    if (handler_ != nullptr) RemoveEventHandler(handler_);
    ref_ = nullptr;
    handler_ = nullptr;
  }

 private:
  static OSStatus callback(EventHandlerCallRef /*next*/, EventRef /*event*/, void* self) {
    auto* hotKey = static_cast<CarbonHotKey*>(self);
    QMetaObject::invokeMethod(
        hotKey, [hotKey] { emit hotKey->pressed(QString()); }, Qt::QueuedConnection);
    return noErr;
  }

  EventHotKeyRef ref_ = nullptr;
  EventHandlerRef handler_ = nullptr;
};

}  // namespace

ShortcutRoute sessionShortcutRoute(const Environment& /*environment*/) {
  return ShortcutRoute::keyGrab;
}

std::unique_ptr<HotKeyBackend> makeHotKeyBackend(ShortcutRoute /*route*/,
                                                 const QString& /*command*/) {
  return std::make_unique<CarbonHotKey>();
}

}  // namespace jolstrand
