#include "grapheme_table.hpp"

#include <deque>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include <unicode/utf8.h>

namespace jolstrand::detail {
namespace {

constexpr Character firstClusterCode = 0x110000;

struct Table {
  std::shared_mutex mutex;
  std::deque<std::string> texts;  // stable storage: the map's keys point into it
  std::unordered_map<std::string_view, Character> codes;
};

Table& table() {
  static Table* const instance = new Table;  // never destroyed: used until the very end
  return *instance;
}

}  // namespace

Character internCluster(std::string_view utf8) {
  Table& t = table();
  {
    std::shared_lock lock(t.mutex);
    if (auto found = t.codes.find(utf8); found != t.codes.end()) return found->second;
  }
  std::unique_lock lock(t.mutex);
  if (auto found = t.codes.find(utf8); found != t.codes.end()) return found->second;
  const auto code = static_cast<Character>(firstClusterCode + t.texts.size());
  t.codes.emplace(t.texts.emplace_back(utf8), code);
  return code;
}

Character knownCluster(std::string_view utf8) {
  Table& t = table();
  std::shared_lock lock(t.mutex);
  const auto found = t.codes.find(utf8);
  return found == t.codes.end() ? unknownCharacter : found->second;
}

void appendCharacter(std::string& out, Character c) {
  if (c < firstClusterCode) {
    uint8_t bytes[U8_MAX_LENGTH];
    int32_t length = 0;
    U8_APPEND_UNSAFE(bytes, length, static_cast<UChar32>(c));  // c is a valid scalar
    out.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
    return;
  }
  Table& t = table();
  std::shared_lock lock(t.mutex);
  const std::size_t index = c - firstClusterCode;
  out += index < t.texts.size() ? t.texts[index] : std::string("\xEF\xBF\xBD");
}

}  // namespace jolstrand::detail
