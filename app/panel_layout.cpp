#include "panel_layout.hpp"

#include <algorithm>

namespace jolstrand::layout {

int panelHeight(int results) {
  return results == 0 ? searchBarHeight : searchBarHeight + 2 * rowMargin + rowHeight * results;
}

int topEdge(const QRect& visible) {
  return std::max(visible.top() + visible.height() / 3 - searchBarHeight, visible.top() + 20);
}

QRect panelFrame(const QRect& visible, int results) {
  return {visible.left() + visible.width() / 2 - panelWidth / 2, topEdge(visible), panelWidth,
          panelHeight(results)};
}

QRect fieldFrame() {
  return {48, 12, 576, 32};
}
QRect glassFrame() {
  return {16, 0, 26, searchBarHeight};
}
QRect separatorFrame() {
  return {0, searchBarHeight, panelWidth, 1};
}

QRect rowFrame(int index) {
  return {0, searchBarHeight + rowMargin + rowHeight * index, panelWidth, rowHeight};
}

QRect fromBottomLeft(const QRect& frame, int height) {
  return {frame.x(), height - frame.y() - frame.height(), frame.width(), frame.height()};
}

}  // namespace jolstrand::layout
