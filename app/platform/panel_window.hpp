#pragma once
// What Qt's window flags cannot say about the search panel: on every workspace (and over
// full-screen applications), out of window cycling, without open or close animation.

class QWidget;

namespace jolstrand {

/// Applies the panel's platform properties to its native window; call once it exists.
void makeFloatingPanel(QWidget& window);

}  // namespace jolstrand
