// X11: Super+Space grabbed on the root window, with the Caps Lock and Num Lock variants, through
// Qt's own connection; presses arrive through a native event filter. Each grab is checked with a
// round trip, so a key that another client holds is never reported as ours.

#include <xcb/xcb.h>

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QGuiApplication>
#include <array>
#include <memory>
#include <utility>

#include "platform/linux/desktop_hot_keys.hpp"
#include "trace.hpp"

namespace jolstrand {
namespace {

constexpr uint32_t spaceKeysym = 0x20;
constexpr uint16_t super = XCB_MOD_MASK_4;
constexpr uint16_t capsLock = XCB_MOD_MASK_LOCK;
constexpr uint16_t numLock = XCB_MOD_MASK_2;
constexpr std::array<uint16_t, 4> grabbedModifiers = {super, super | capsLock, super | numLock,
                                                      super | capsLock | numLock};

xcb_keycode_t keycodeFor(xcb_connection_t* connection, uint32_t keysym) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> mapping(
      xcb_get_keyboard_mapping_reply(
          connection,
          xcb_get_keyboard_mapping(connection, setup->min_keycode, static_cast<uint8_t>(count)),
          nullptr),
      &std::free);
  if (!mapping) return 0;
  const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
  const int perKeycode = mapping->keysyms_per_keycode;
  for (int code = 0; code < count; ++code) {
    for (int column = 0; column < perKeycode; ++column) {
      if (keysyms[code * perKeycode + column] == keysym) {
        return static_cast<xcb_keycode_t>(setup->min_keycode + code);
      }
    }
  }
  return 0;
}

class X11HotKey final : public HotKeyBackend, public QAbstractNativeEventFilter {
 public:
  ~X11HotKey() override {
    unregisterKey();
    if (filtering_) QCoreApplication::instance()->removeNativeEventFilter(this);
  }

  std::int32_t registerKey() override {
    unregisterKey();
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr || x11->connection() == nullptr) return unavailable;
    connection_ = x11->connection();
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    keycode_ = keycodeFor(connection_, spaceKeysym);
    if (keycode_ == 0) return unavailable;
    for (const uint16_t modifiers : grabbedModifiers) {
      const xcb_void_cookie_t cookie = xcb_grab_key_checked(
          connection_, 1, root_, modifiers, keycode_, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
      if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
        const std::int32_t code = error->error_code;
        std::free(error);
        unregisterKey();  // no half registration
        return code;
      }
      grabbed_ = true;
    }
    if (!filtering_) {
      QCoreApplication::instance()->installNativeEventFilter(this);
      filtering_ = true;
    }
    return 0;
  }

  void unregisterKey() override {
    if (!grabbed_) return;
    for (const uint16_t modifiers : grabbedModifiers) {
      xcb_ungrab_key(connection_, keycode_, root_, modifiers);
    }
    xcb_flush(connection_);
    grabbed_ = false;
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* /*result*/) override {
    if (!grabbed_ || type != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t kind = event->response_type & 0x7F;
    if (kind == XCB_KEY_RELEASE) {
      const auto* release = reinterpret_cast<const xcb_key_release_event_t*>(event);
      if (release->detail == keycode_) {
        held_ = false;
        releasedAt_ = release->time;
      }
      return false;
    }
    if (kind != XCB_KEY_PRESS) return false;
    const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
    if (press->detail != keycode_ || (press->state & ~(capsLock | numLock)) != super) return false;
    // A key held down repeats: as further presses, or as release and press pairs with one
    // time stamp. One physical press is one action; repeats are taken and ignored.
    const bool repeat = std::exchange(held_, true) || press->time == releasedAt_;
    if (repeat) return true;
    Trace::begin(Trace::Span::hotKeyToPanel);
    // Emitted after this event's dispatch, once per press.
    QMetaObject::invokeMethod(
        this, [this] { emit pressed(QString()); }, Qt::QueuedConnection);
    return true;
  }

 private:
  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  xcb_keycode_t keycode_ = 0;
  bool grabbed_ = false;
  bool held_ = false;                      // pressed, and not released since
  xcb_timestamp_t releasedAt_ = XCB_NONE;  // the last release, to recognise repeats
  bool filtering_ = false;
};

}  // namespace

std::unique_ptr<HotKeyBackend> makeX11HotKey() {
  return std::make_unique<X11HotKey>();
}

}  // namespace jolstrand
