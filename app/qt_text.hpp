#pragma once
// Core strings (UTF-8 in std::string) as Qt strings.

#include <QString>
#include <string>

namespace jolstrand {

[[nodiscard]] inline QString qtString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace jolstrand
