#include "key_trace.hpp"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>

namespace jolstrand::KeyTrace {
namespace {

using Clock = std::chrono::steady_clock;

std::ofstream* traceFile() {
  static std::ofstream* const file = []() -> std::ofstream* {
    const char* path = std::getenv("JOLSTRAND_TRACE_KEYS");
    if (path == nullptr || *path == '\0') return nullptr;
    return new std::ofstream(path, std::ios::app);  // kept to the end of the process
  }();
  return file;
}

std::optional<Clock::time_point>& pressed() {
  static std::optional<Clock::time_point> time;
  return time;
}

}  // namespace

void keyPressed() {
  if (traceFile() != nullptr) pressed() = Clock::now();
}

void rowsLaidOut() {
  if (traceFile() == nullptr || !pressed()) return;
  const auto took = Clock::now() - *std::exchange(pressed(), std::nullopt);
  // A press that changed nothing leaves a stale start behind; a second is no keystroke's cost.
  if (took > std::chrono::seconds(1)) return;
  *traceFile() << std::chrono::duration_cast<std::chrono::microseconds>(took).count() << '\n'
               << std::flush;
}

}  // namespace jolstrand::KeyTrace
