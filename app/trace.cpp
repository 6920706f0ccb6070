#include "trace.hpp"

#include <array>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <utility>

namespace jolstrand::Trace {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<const char*, 3> names = {"keyToRows", "hotKeyToPanel", "rescanInstall"};

std::unique_ptr<std::ofstream>& traceFile() {
  static std::unique_ptr<std::ofstream> file;
  return file;
}

std::optional<Clock::time_point>& started(Span span) {
  static std::array<std::optional<Clock::time_point>, names.size()> times;
  return times.at(static_cast<std::size_t>(span));
}

}  // namespace

void traceTo(const std::string& path) {
  if (!path.empty()) traceFile() = std::make_unique<std::ofstream>(path, std::ios::app);
}

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
