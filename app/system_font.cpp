#include "system_font.hpp"

#include <QApplication>

namespace jolstrand {

QFont systemFont(qreal points, bool bold) {
  QFont font = QApplication::font();
  if (font.pointSizeF() > 0) font.setPointSizeF(font.pointSizeF() * points / regularSystemFontSize);
  font.setBold(bold);
  return font;
}

}  // namespace jolstrand
