#pragma once
// The few colours the companion windows use, named by role as the macOS semantic colours are
// (label, secondary and tertiary label, system green and orange, link), and the one place that
// maps each role onto the current Qt palette.

#include <QColor>
#include <QPalette>

namespace jolstrand {

enum class ColorRole { label, secondaryLabel, tertiaryLabel, systemGreen, systemOrange, link };

/// The colour of role under palette: the label shades are the palette's window text at the
/// opacities macOS gives its label colours; green and orange are the system's, in their light or
/// dark variant after the palette's window background; link is the palette's link colour.
[[nodiscard]] QColor colorFor(ColorRole role, const QPalette& palette);

}  // namespace jolstrand
