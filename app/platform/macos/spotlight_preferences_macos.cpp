// macOS: the system's symbolic-hot-key preferences, re-read before every check.

#include <CoreFoundation/CoreFoundation.h>

#include "platform/spotlight_check.hpp"
#include "spotlight_shortcut.hpp"

namespace jolstrand {
namespace {

PropertyListValue converted(CFTypeRef value, int depth) {
  if (value == nullptr || depth > 64) return {};
  const CFTypeID type = CFGetTypeID(value);
  if (type == CFBooleanGetTypeID())
    return {CFBooleanGetValue(static_cast<CFBooleanRef>(value)) != 0};
  if (type == CFNumberGetTypeID()) {
    const auto number = static_cast<CFNumberRef>(value);
    if (CFNumberIsFloatType(number)) {
      double real = 0;
      CFNumberGetValue(number, kCFNumberDoubleType, &real);
      return {real};
    }
    std::int64_t integer = 0;
    CFNumberGetValue(number, kCFNumberSInt64Type, &integer);
    return {integer};
  }
  if (type == CFStringGetTypeID()) {
    const auto text = static_cast<CFStringRef>(value);
    const CFIndex size =
        CFStringGetMaximumSizeForEncoding(CFStringGetLength(text), kCFStringEncodingUTF8) + 1;
    std::string out(static_cast<std::size_t>(size), '\0');
    if (!CFStringGetCString(text, out.data(), size, kCFStringEncodingUTF8)) return {};
    out.resize(std::char_traits<char>::length(out.c_str()));
    return {out};
  }
  if (type == CFArrayGetTypeID()) {
    const auto array = static_cast<CFArrayRef>(value);
    PropertyListValue::Array out;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
      out.push_back(converted(CFArrayGetValueAtIndex(array, i), depth + 1));
    }
    return {std::move(out)};
  }
  if (type == CFDictionaryGetTypeID()) {
    const auto dictionary = static_cast<CFDictionaryRef>(value);
    const CFIndex count = CFDictionaryGetCount(dictionary);
    std::vector<const void*> keys(static_cast<std::size_t>(count));
    std::vector<const void*> values(static_cast<std::size_t>(count));
    CFDictionaryGetKeysAndValues(dictionary, keys.data(), values.data());
    PropertyListValue::Dictionary out;
    for (CFIndex i = 0; i < count; ++i) {
      const PropertyListValue key = converted(keys[static_cast<std::size_t>(i)], depth + 1);
      const auto* name = std::get_if<std::string>(&key.value);
      if (name == nullptr) return {};  // keys that are not strings: not a usable dictionary
      out.emplace(*name, converted(values[static_cast<std::size_t>(i)], depth + 1));
    }
    return {std::move(out)};
  }
  return {};
}

class SymbolicHotKeyPreferences final : public SpotlightCheck {
 public:
  bool holdsCommandSpace() override {
    const CFStringRef domain = CFSTR("com.apple.symbolichotkeys");
    CFPreferencesAppSynchronize(domain);
    const CFPropertyListRef value =
        CFPreferencesCopyAppValue(CFSTR("AppleSymbolicHotKeys"), domain);
    if (value == nullptr) return SpotlightShortcut::holdsCommandSpace(std::nullopt);
    const bool holds = SpotlightShortcut::holdsCommandSpace(converted(value, 0));
    CFRelease(value);
    return holds;
  }
};

}  // namespace

std::unique_ptr<SpotlightCheck> makeSpotlightCheck(std::string /*configHome*/,
                                                   std::string /*currentDesktop*/,
                                                   ShortcutRoute /*route*/) {
  return std::make_unique<SymbolicHotKeyPreferences>();
}

}  // namespace jolstrand
