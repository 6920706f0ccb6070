#include "jolstrand/update/version_compare.hpp"

namespace jolstrand {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// The leading digit run of text, taken off it.
std::string_view takeDigits(std::string_view& text) {
  std::size_t end = 0;
  while (end < text.size() && isDigit(text[end])) ++end;
  const std::string_view digits = text.substr(0, end);
  text.remove_prefix(end);
  return digits;
}

// Digit runs by numeric value, whatever their length.
std::strong_ordering compareNumbers(std::string_view a, std::string_view b) {
  while (!a.empty() && a.front() == '0') a.remove_prefix(1);
  while (!b.empty() && b.front() == '0') b.remove_prefix(1);
  if (a.size() != b.size()) return a.size() <=> b.size();
  return a.compare(b) <=> 0;
}

// Suffixes: digit runs by value, other characters as bytes.
std::strong_ordering compareSuffixes(std::string_view a, std::string_view b) {
  while (!a.empty() && !b.empty()) {
    if (isDigit(a.front()) && isDigit(b.front())) {
      const std::strong_ordering order = compareNumbers(takeDigits(a), takeDigits(b));
      if (order != 0) return order;
      continue;
    }
    const auto byteA = static_cast<unsigned char>(a.front());
    const auto byteB = static_cast<unsigned char>(b.front());
    if (byteA != byteB) return byteA <=> byteB;
    a.remove_prefix(1);
    b.remove_prefix(1);
  }
  return a.size() <=> b.size();
}

std::strong_ordering compareSegments(std::string_view a, std::string_view b) {
  const std::strong_ordering numbers = compareNumbers(takeDigits(a), takeDigits(b));
  if (numbers != 0) return numbers;
  if (a.empty() || b.empty()) return b.size() <=> a.size();  // the plain number is newer
  return compareSuffixes(a, b);
}

// The next segment of text, taken off it with its dot; empty once text is used up.
std::string_view takeSegment(std::string_view& text) {
  const std::size_t dot = text.find('.');
  const std::string_view segment = text.substr(0, dot);
  text.remove_prefix(dot == std::string_view::npos ? text.size() : dot + 1);
  return segment;
}

}  // namespace

std::strong_ordering compareVersions(std::string_view a, std::string_view b) noexcept {
  while (!a.empty() || !b.empty()) {
    const std::strong_ordering order = compareSegments(takeSegment(a), takeSegment(b));
    if (order != 0) return order;
  }
  return std::strong_ordering::equal;
}

}  // namespace jolstrand
