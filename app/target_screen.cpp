#include "target_screen.hpp"

namespace jolstrand::TargetScreen {

std::optional<std::size_t> screenFor(const QRect& window, const std::vector<QRect>& screens) {
  std::optional<std::size_t> best;
  qint64 bestArea = 0;
  for (std::size_t i = 0; i < screens.size(); ++i) {
    const QRect overlap = screens[i].intersected(window);
    const qint64 area = overlap.isEmpty() ? 0 : qint64{overlap.width()} * overlap.height();
    if (area > bestArea) {
      bestArea = area;
      best = i;
    }
  }
  return best;
}

std::optional<std::size_t> find(const ScreenSnapshot& snapshot) {
  if (snapshot.frontmostPid && snapshot.windows) {
    for (const WindowInfo& window : *snapshot.windows) {
      if (window.ownerPid != snapshot.frontmostPid || window.layer != 0 || !window.bounds ||
          window.bounds->width() <= 50 || window.bounds->height() <= 50) {
        continue;
      }
      if (const auto screen = screenFor(*window.bounds, snapshot.screens)) return screen;
    }
  }
  for (std::size_t i = 0; i < snapshot.screens.size(); ++i) {
    if (snapshot.screens[i].contains(snapshot.pointer)) return i;
  }
  return std::nullopt;
}

}  // namespace jolstrand::TargetScreen
