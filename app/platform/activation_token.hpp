#pragma once
// What lets the program the panel opens take the focus from it: the panel has the focus when the
// user chooses, so a token is asked for then, before the panel hides (a compositor checks that
// the surface it names still had the focus). Wayland: an xdg-activation token for the panel's
// surface and the last input's serial; X11: a startup notification id that carries the time of
// the user's key or click, by which window managers let the new window take the focus; macOS:
// none (the workspace activates what it opens). Main thread.

#include <QtGlobal>
#include <string>

class QWidget;

namespace jolstrand {

/// A token for opening the application whose id (the desktop file's name without ".desktop",
/// or a bundle identifier) is appId, asked for by panel, which has the focus, for the user's
/// input at eventTime (the window system's timestamp of the key or click). Empty when the
/// window system has none to give.
[[nodiscard]] std::string activationTokenFor(QWidget& panel, const std::string& appId,
                                             quint64 eventTime);

}  // namespace jolstrand
