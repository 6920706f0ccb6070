#pragma once
// What Qt's window flags cannot say about the search panel: on every workspace (and over
// full-screen applications), out of window cycling, without open or close animation.

class QString;
class QWidget;

namespace jolstrand {

/// Applies the panel's platform properties to its native window; call once it exists.
void makeFloatingPanel(QWidget& window);

/// Shows the panel in front of every other window and gives it the keys, with the activation
/// token of the request to show it where the window system takes one (Wayland; may be empty).
/// On macOS the launcher is not activated: the user's application stays active behind the panel.
void presentPanel(QWidget& window, const QString& activationToken);

}  // namespace jolstrand
