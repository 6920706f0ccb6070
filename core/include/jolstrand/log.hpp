#pragma once
// The system log: one line per notable event or background failure, each beginning with
// "Jolstrand: ", which logLine puts there itself. On Linux each line goes to standard error and to
// syslog; on macOS to the unified log. Safe to call from any thread.

#include <functional>
#include <string_view>

namespace jolstrand {

/// Writes "Jolstrand: " + message as one line (message without a line feed).
void logLine(std::string_view message);

/// Sends every line, prefix included, to sink instead of the system log until the returned guard is
/// destroyed. For tests.
class LogCapture {
 public:
  explicit LogCapture(std::function<void(std::string_view)> sink);
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  ~LogCapture();
};

}  // namespace jolstrand
