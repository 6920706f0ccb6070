#pragma once
// The global hot key: Command-Space on macOS, Super-Space on X11. registerKey() answers the
// system's status: 0 when the key is ours, else the system's error code (on X11 the X error, for
// example BadAccess, 10, when another client holds the key; `unavailable` where there is no X11,
// as under Wayland). Each call replaces the earlier registration. Every press emits `pressed`
// once, on the main thread. Destroying a backend gives the key back. Main thread.

#include <QObject>
#include <cstdint>
#include <memory>

namespace jolstrand {

class HotKeyBackend : public QObject {
  Q_OBJECT

 public:
  /// The status when no windowing system that grabs keys is there.
  static constexpr std::int32_t unavailable = -1;

  [[nodiscard]] virtual std::int32_t registerKey() = 0;
  virtual void unregisterKey() = 0;

 signals:
  void pressed();
};

/// The platform's hot key.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makeHotKeyBackend();

}  // namespace jolstrand
