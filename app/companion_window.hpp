#pragma once
// What the companion windows (setup, about) share: their window form, wrapping labels of a fixed
// width, text drawn in a colour role, and bringing a window forward centred on the screen.
// Main thread only.

#include <QString>

#include "color_roles.hpp"

class QLabel;
class QWidget;

namespace jolstrand {

/// A titled, closable window that cannot be resized, minimised or maximised.
void makeCompanionWindow(QWidget& window, const QString& title);

/// A label that wraps its text at width.
[[nodiscard]] QLabel* makeWrappingLabel(QWidget* parent, int width);

/// Draws the widget's text in the colour of role under its window's palette.
void setTextRole(QWidget& widget, ColorRole role);

/// Activates the application, centres the window on the primary screen's available area, shows
/// it, raises it and asks for the keyboard focus.
void bringForwardCentred(QWidget& window);

}  // namespace jolstrand
