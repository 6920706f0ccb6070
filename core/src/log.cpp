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

std::string addressesHidden(std::string_view text) {
  constexpr std::string_view separator = "://";
  const auto isSchemeCharacter = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
  };
  const auto endsAddress = [](char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '"' || c == '\'' || c == '>' || c == '<';
  };
  std::string out;
  std::size_t at = 0;
  for (std::size_t found; (found = text.find(separator, at)) != std::string_view::npos;) {
    std::size_t scheme = found;
    while (scheme > at && isSchemeCharacter(text[scheme - 1])) --scheme;
    std::size_t end = found + separator.size();
    while (end < text.size() && !endsAddress(text[end])) ++end;
    // Punctuation of the sentence around it ("couldn't fetch URL: ...") is not the address's.
    while (end > found + separator.size() &&
           std::string_view(".,:;)!").find(text[end - 1]) != std::string_view::npos)
      --end;
    if (scheme == found) {  // no scheme before it: not an address
      out.append(text.substr(at, end - at));
      at = end;
      continue;
    }
    std::string_view authority =
        text.substr(found + separator.size(), end - found - separator.size());
    authority = authority.substr(0, authority.find_first_of("/?#"));
    if (const std::size_t user = authority.rfind('@'); user != std::string_view::npos)
      authority.remove_prefix(user + 1);
    out.append(text.substr(at, found + separator.size() - at));
    out.append(authority);
    at = end;
  }
  out.append(text.substr(at));
  return out;
}

std::string safeText(std::string_view text) {
  return escapedControls(addressesHidden(text));
}

void logLine(std::string_view message) {
  const std::string text = std::string(prefix) + safeText(message);
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
