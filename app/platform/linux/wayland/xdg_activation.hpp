#pragma once
// Asking the Wayland compositor for an xdg-activation token (xdg-activation-v1) through Qt's
// own connection: for a window of ours that has the focus, with the seat and serial of the last
// input, on an event queue of our own so that Qt's dispatching is not disturbed. Main thread.

#include <QWindow>
#include <string>

namespace jolstrand {

/// The token for opening the application appId (may be empty), or empty when the compositor
/// has no xdg-activation or does not answer.
[[nodiscard]] std::string xdgActivationToken(QWindow& focused, const std::string& appId);

}  // namespace jolstrand
