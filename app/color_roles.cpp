#include "color_roles.hpp"

namespace jolstrand {
namespace {

QColor withOpacity(QColor color, float opacity) {
  color.setAlphaF(opacity);
  return color;
}

}  // namespace

QColor colorFor(ColorRole role, const QPalette& palette) {
  const bool dark = palette.color(QPalette::Window).lightnessF() < 0.5F;
  const QColor text = palette.color(QPalette::WindowText);
  switch (role) {
    case ColorRole::label:
      return withOpacity(text, 0.85F);
    case ColorRole::secondaryLabel:
      return withOpacity(text, 0.5F);
    case ColorRole::tertiaryLabel:
      return withOpacity(text, 0.26F);
    case ColorRole::systemGreen:
      return dark ? QColor(48, 209, 88) : QColor(52, 199, 89);
    case ColorRole::systemOrange:
      return dark ? QColor(255, 159, 10) : QColor(255, 149, 0);
    case ColorRole::link:
      return palette.color(QPalette::Link);
  }
  return text;
}

}  // namespace jolstrand
