#pragma once
// The global hot key: Command-Space on macOS, Super-Space on X11. Every press runs the action on
// the main thread, once. register... answers the system's status: 0 when the key is ours, else
// the system's error code (on X11 the X error, for example BadAccess, 10, when another client
// holds the key; -1 where there is no X11, as under Wayland). Main thread.

#include <cstdint>
#include <functional>
#include <memory>

namespace jolstrand {

class HotKey {
 public:
  explicit HotKey(std::function<void()> action);
  HotKey(const HotKey&) = delete;
  HotKey& operator=(const HotKey&) = delete;
  /// Gives the key back, so that no press reaches a destroyed action.
  ~HotKey();

  /// Registers the key, replacing this instance's earlier registration; returns the status.
  [[nodiscard]] std::int32_t registerKey();

  /// The status when no windowing system that grabs keys is there.
  static constexpr std::int32_t unavailable = -1;

  /// The platform's half: grabs the key and runs the action for each press. One per platform.
  class Platform {
   public:
    virtual ~Platform() = default;
    [[nodiscard]] virtual std::int32_t grab() = 0;
  };

 private:
  /// The platform's hot key, calling action (which outlives it) on the main thread.
  static std::unique_ptr<Platform> makePlatform(const std::function<void()>& action);

  std::function<void()> action_;
  std::unique_ptr<Platform> platform_;
};

}  // namespace jolstrand
