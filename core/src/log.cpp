#include "jolstrand/log.hpp"

#if defined(__APPLE__)
#include <os/log.h>
#else
#include <syslog.h>
#endif

#include <cstdio>
#include <mutex>
#include <string>

namespace jolstrand {
namespace {

constexpr std::string_view prefix = "Jolstrand: ";

std::mutex& sinkMutex() {
  static std::mutex mutex;
  return mutex;
}

std::function<void(std::string_view)>& capturedSink() {
  static std::function<void(std::string_view)> sink;
  return sink;
}

}  // namespace

void logLine(std::string_view message) {
  const std::string text = std::string(prefix) + std::string(message);
  const std::lock_guard lock(sinkMutex());
  if (capturedSink()) {
    capturedSink()(text);
    return;
  }
#if defined(__APPLE__)
  os_log(OS_LOG_DEFAULT, "%{public}s", text.c_str());
#else
  std::fprintf(stderr, "%s\n", text.c_str());
  syslog(LOG_NOTICE, "%s", text.c_str());
#endif
}

LogCapture::LogCapture(std::function<void(std::string_view)> sink) {
  const std::lock_guard lock(sinkMutex());
  capturedSink() = std::move(sink);
}

LogCapture::~LogCapture() {
  const std::lock_guard lock(sinkMutex());
  capturedSink() = nullptr;
}

}  // namespace jolstrand
