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

std::string escapedControls(std::string_view text) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n') {
      out += "\\n";
    } else if (byte == '\t') {
      out += "\\t";
    } else if (byte == '\r') {
      out += "\\r";
    } else if (byte < 0x20 || byte == 0x7F) {
      out += "\\x";
      out += hex[byte >> 4];
      out += hex[byte & 0xF];
    } else if (byte == 0xC2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9F) {
      const auto control = static_cast<unsigned char>(text[++i]);
      out += "\\u00";
      out += hex[control >> 4];
      out += hex[control & 0xF];
    } else {
      out += static_cast<char>(byte);
    }
  }
  return out;
}

void logLine(std::string_view message) {
  const std::string text = std::string(prefix) + escapedControls(message);
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
