#pragma once
// What a Wayland compositor's IPC tells of the user's focus: the focused window (its process and
// frame) and the output it is on, in the compositor's layout coordinates (Qt's global ones).

#include <QRect>
#include <QtGlobal>
#include <optional>

namespace jolstrand {

struct CompositorFocus {
  std::optional<qint64> windowPid;
  std::optional<QRect> windowRect;
  std::optional<QRect> outputRect;  ///< the focused output, also when no window has the focus
};

}  // namespace jolstrand
