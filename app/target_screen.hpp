#pragma once
// Which screen the search panel goes on: the screen showing most of the frontmost application's
// front window, else the screen under the pointer. A pure choice over a snapshot of the windows
// and screens, in global coordinates with the origin at the primary screen's top left and y
// growing downward (the window server's coordinates, and Qt's).

#include <QPoint>
#include <QRect>
#include <optional>
#include <vector>

namespace jolstrand {

/// One on-screen window as the window list describes it; any field may be missing.
struct WindowInfo {
  std::optional<qint64> ownerPid;
  std::optional<int> layer;  ///< 0 for ordinary windows
  std::optional<QRect> bounds;
};

struct ScreenSnapshot {
  std::optional<qint64> frontmostPid;              ///< the frontmost application, if any
  std::optional<std::vector<WindowInfo>> windows;  ///< front to back; none when unavailable
  std::vector<QRect> screens;                      ///< frames, the primary screen first
  QPoint pointer;
};

namespace TargetScreen {

/// The index in snapshot.screens of the panel's screen, or none.
[[nodiscard]] std::optional<std::size_t> find(const ScreenSnapshot& snapshot);

/// The screen sharing the largest area with a rectangle; ties go to the earlier screen.
[[nodiscard]] std::optional<std::size_t> screenFor(const QRect& window,
                                                   const std::vector<QRect>& screens);

}  // namespace TargetScreen
}  // namespace jolstrand
