#pragma once
// The Linux hot-key backends, one per way a session hands out Super-Space (see ShortcutRoute),
// and what picks among them at start.

#include <QDBusConnection>
#include <QString>
#include <memory>

#include "environment.hpp"
#include "platform/hot_key_backend.hpp"
#include "platform/spotlight_check.hpp"
#include "shortcut_route.hpp"

namespace jolstrand {

/// The launcher's own app id, as desktops and their services know it.
[[nodiscard]] QString ownAppId();

/// X11: Super+Space grabbed on the root window through Qt's own connection.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makeX11HotKey();

/// KDE: the action shortcutId of component appId in kglobalaccel, Meta+Space by default.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makeKdeHotKey(const QDBusConnection& bus,
                                                           const QString& appId);

/// KDE: whether another component holds Meta+Space in kglobalaccel, and which.
[[nodiscard]] std::unique_ptr<SpotlightCheck> makeKdeShortcutCheck(const QDBusConnection& bus,
                                                                   const QString& ownComponent);

/// The GlobalShortcuts portal: one session, one shortcut (shortcutId, LOGO+space preferred),
/// with appId registered first where the portal asks for it.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makePortalHotKey(const QDBusConnection& bus,
                                                              const QString& appId);

/// GNOME before portal shortcuts: a custom shortcut Super-Space → command, which the user adds
/// and removes from the setup window; GNOME runs the command, which shows the running
/// launcher's panel.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makeGnomeCustomShortcut(const QString& command);

/// A compositor that gives no program a key: always unavailable, the user binds `jolstrand`.
[[nodiscard]] std::unique_ptr<HotKeyBackend> makeCompositorBinding();

/// What this session offers, asked of the session bus (kglobalaccel, the portal) only on
/// Wayland.
[[nodiscard]] SessionOffer probeSessionOffer(const Environment& environment,
                                             const QDBusConnection& bus);

}  // namespace jolstrand
