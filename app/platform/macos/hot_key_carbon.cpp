// macOS: Command-Space through the Carbon Event Manager, signature "JOLR", id 1.

#include <Carbon/Carbon.h>

#include <QCoreApplication>

#include "hot_key.hpp"

namespace jolstrand {
namespace {

constexpr UInt32 spaceKey = 49;
constexpr OSType signature = 0x4A4F4C52;  // "JOLR"

}  // namespace

class HotKey::Platform {
 public:
  explicit Platform(const std::function<void()>& action) : action_(action) {}
  ~Platform() { release(); }

  std::int32_t grab() {
    release();
    const EventTypeSpec pressed{kEventClassKeyboard, kEventHotKeyPressed};
    InstallEventHandler(GetApplicationEventTarget(), &Platform::callback, 1, &pressed, this,
                        &handler_);
    const EventHotKeyID identifier{signature, 1};
    return RegisterEventHotKey(spaceKey, cmdKey, identifier, GetApplicationEventTarget(), 0, &ref_);
  }

 private:
  static OSStatus callback(EventHandlerCallRef /*next*/, EventRef /*event*/, void* self) {
    const auto* platform = static_cast<Platform*>(self);
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

HotKey::HotKey(std::function<void()> action)
    : action_(std::move(action)), platform_(std::make_unique<Platform>(action_)) {}

HotKey::~HotKey() = default;

std::int32_t HotKey::registerKey() {
  return platform_->grab();
}

}  // namespace jolstrand
