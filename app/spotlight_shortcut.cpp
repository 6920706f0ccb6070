#include "spotlight_shortcut.hpp"

namespace jolstrand::SpotlightShortcut {
namespace {

constexpr std::int64_t spaceKey = 49;
constexpr std::int64_t commandMask = 1048576;

template <class T>
const T* as(const PropertyListValue& value) {
  return std::get_if<T>(&value.value);
}

const PropertyListValue* member(const PropertyListValue::Dictionary& dictionary, const char* key) {
  const auto found = dictionary.find(key);
  return found == dictionary.end() ? nullptr : &found->second;
}

// A number's truth, for values that are numbers at all (booleans are numbers in preferences).
std::optional<bool> numberTruth(const PropertyListValue& value) {
  if (const auto* flag = as<bool>(value)) return *flag;
  if (const auto* integer = as<std::int64_t>(value)) return *integer != 0;
  if (const auto* real = as<double>(value)) return *real != 0;
  return std::nullopt;
}

}  // namespace

bool holdsCommandSpace(const std::optional<PropertyListValue>& symbolicHotKeys) {
  const auto* all = symbolicHotKeys ? as<PropertyListValue::Dictionary>(*symbolicHotKeys) : nullptr;
  if (all == nullptr) return true;
  const PropertyListValue* spotlight = member(*all, "64");
  const auto* entry =
      spotlight != nullptr ? as<PropertyListValue::Dictionary>(*spotlight) : nullptr;
  if (entry == nullptr) return true;
  if (const PropertyListValue* enabled = member(*entry, "enabled")) {
    if (numberTruth(*enabled) == false) return false;
  }
  const PropertyListValue* value = member(*entry, "value");
  const auto* shortcut = value != nullptr ? as<PropertyListValue::Dictionary>(*value) : nullptr;
  const PropertyListValue* parameters =
      shortcut != nullptr ? member(*shortcut, "parameters") : nullptr;
  const auto* list = parameters != nullptr ? as<PropertyListValue::Array>(*parameters) : nullptr;
  if (list == nullptr) return true;
  std::vector<std::int64_t> numbers;
  for (const PropertyListValue& element : *list) {
    const auto* integer = as<std::int64_t>(element);
    if (integer == nullptr) return true;  // not an array of integers
    numbers.push_back(*integer);
  }
  if (numbers.size() < 3) return true;
  if (numbers[1] != spaceKey) return false;
  return numbers[2] == commandMask;
}

}  // namespace jolstrand::SpotlightShortcut
