#include "trace.hpp"

#include <array>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <utility>

namespace jolstrand::Trace {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<const char*, 3> names = {"keyToRows", "hotKeyToPanel", "rescanInstall"};

std::ofstream* traceFile() {
  static std::ofstream* const file = []() -> std::ofstream* {
    const char* path = std::getenv("JOLSTRAND_TRACE");
    if (path == nullptr || *path == '\0') return nullptr;
    return new std::ofstream(path, std::ios::app);  // kept to the end of the process
  }();
  return file;
}

std::optional<Clock::time_point>& started(Span span) {
  static std::array<std::optional<Clock::time_point>, names.size()> times;
  return times.at(static_cast<std::size_t>(span));
}

}  // namespace

void begin(Span span) {
  if (traceFile() != nullptr) started(span) = Clock::now();
}

void end(Span span) {
  if (traceFile() == nullptr || !started(span)) return;
  const auto took = Clock::now() - *std::exchange(started(span), std::nullopt);
  if (took > std::chrono::seconds(1)) return;
  *traceFile() << names.at(static_cast<std::size_t>(span)) << ' '
               << std::chrono::duration_cast<std::chrono::microseconds>(took).count() << '\n'
               << std::flush;
}

void cancel(Span span) {
  started(span) = std::nullopt;
}

}  // namespace jolstrand::Trace
