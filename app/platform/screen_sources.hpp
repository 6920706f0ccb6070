#pragma once
// The snapshot TargetScreen chooses from: the frontmost application, the on-screen windows,
// the screens and the pointer, read from the platform. Main thread.

#include "target_screen.hpp"

namespace jolstrand {

[[nodiscard]] ScreenSnapshot currentScreenSnapshot();

}  // namespace jolstrand
