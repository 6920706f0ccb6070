#pragma once
// The global hot key: Command-Space on macOS; on Linux Super-Space, however the session hands it
// out (an X11 key grab, KDE's kglobalaccel, the GlobalShortcuts portal, a GNOME custom shortcut,
// or a binding the user writes into the compositor's configuration). registerKey() answers the
// status: 0 when Super-Space (Command-Space) opens the launcher, else why it does not: the
// system's own error code (on X11 the X error, for example BadAccess, 10) or one of the reasons
// below. Backends that ask the desktop answer at once and report the outcome later through
// statusChanged. Each registerKey() replaces the earlier registration; destroying a backend gives
// the key back. Every press emits `pressed` once, on the main thread. Main thread.

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

#include "environment.hpp"
#include "shortcut_route.hpp"

namespace jolstrand {

class HotKeyBackend : public QObject {
  Q_OBJECT

 public:
  // Reasons of the launcher's own, all below zero (the systems' error codes are never these).
  /// Nothing in this session gives the launcher a key: the user binds `jolstrand` in the
  /// compositor's configuration.
  static constexpr std::int32_t unavailable = -1;
  /// Asked the desktop; it has not granted the shortcut yet (or the user dismissed its dialog).
  static constexpr std::int32_t awaitingDesktop = -2;
  /// The desktop gave the shortcut another key, which trigger() names.
  static constexpr std::int32_t otherKey = -3;
  /// The shortcut exists but no key is bound to it yet.
  static constexpr std::int32_t noKey = -4;
  /// The desktop refused the shortcut or the request failed.
  static constexpr std::int32_t refusedByDesktop = -5;

  [[nodiscard]] virtual std::int32_t registerKey() = 0;
  virtual void unregisterKey() = 0;

  /// The key as the desktop names it ("Ctrl+Alt+Space") while the status is otherKey; else
  /// empty.
  [[nodiscard]] virtual QString trigger() const { return {}; }

  /// Whether the user adds and removes the shortcut from the setup window (GNOME before its
  /// portal had shortcuts), rather than the launcher holding it.
  [[nodiscard]] virtual bool userAddsShortcut() const { return false; }
  /// Adds or removes that shortcut; false when the desktop's settings could not be written. The
  /// next registerKey() reads the outcome.
  virtual bool addShortcut() { return false; }
  virtual bool removeShortcut() { return false; }

 signals:
  /// A press; activationToken (may be empty) lets the panel take the focus.
  void pressed(const QString& activationToken);
  /// The status changed without a registerKey(): the desktop answered, the user chose another
  /// key, or the desktop's service went away.
  void statusChanged(std::int32_t status);
};

/// How this session hands out the hot key; asks the session bus on Wayland. macOS: keyGrab.
[[nodiscard]] ShortcutRoute sessionShortcutRoute(const Environment& environment);

/// The backend for route (macOS: the Carbon hot key, whatever the route); command is how a
/// desktop's shortcut runs this program.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makeHotKeyBackend(ShortcutRoute route,
                                                               const QString& command);

}  // namespace jolstrand
