#pragma once
// The launcher needs a display; started without one it says so in one line and ends with status
// 1, rather than with Qt's abort. Main thread, before and while the application object is made.

#include <string>
#include <vector>

#include "environment.hpp"

namespace jolstrand {

inline constexpr char noDisplayMessage[] =
    "no display: run it in a desktop session, or use --list / --query";

/// Whether the session names a display (X11 or Wayland), or Qt is told which platform to use
/// (QT_QPA_PLATFORM, or -platform among the arguments). Always true on macOS.
[[nodiscard]] bool sessionNamesDisplay(const Environment& environment,
                                       const std::vector<std::string>& arguments);

/// Prints the message on standard error, as "jolstrand: " and the message.
void reportNoDisplay();

/// While it lives, Qt failing to reach any window system (a display that is named but does not
/// answer) ends the process with the message and status 1; Qt's other messages pass as before.
class DisplayConnectionGuard {
 public:
  DisplayConnectionGuard();
  ~DisplayConnectionGuard();
  DisplayConnectionGuard(const DisplayConnectionGuard&) = delete;
  DisplayConnectionGuard& operator=(const DisplayConnectionGuard&) = delete;
};

}  // namespace jolstrand
