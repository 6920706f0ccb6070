#pragma once
// Owns one Core Foundation reference and releases it, so that no early return leaks one.

#include <CoreFoundation/CoreFoundation.h>

#include <string>

namespace jolstrand::detail {

template <class T>
class CFRef {
 public:
  explicit CFRef(T ref = nullptr) : ref_(ref) {}
  CFRef(const CFRef&) = delete;
  CFRef& operator=(const CFRef&) = delete;
  ~CFRef() {
    if (ref_ != nullptr) CFRelease(ref_);
  }
  [[nodiscard]] T get() const { return ref_; }
  T* out() { return &ref_; }  // for functions that return a reference through an argument
  explicit operator bool() const { return ref_ != nullptr; }

 private:
  T ref_;
};

/// The UTF-8 text of a CFString.
inline std::string utf8(CFStringRef text) {
  const CFIndex length = CFStringGetLength(text);
  const CFIndex capacity = CFStringGetMaximumSizeForEncoding(length, kCFStringEncodingUTF8) + 1;
  std::string out(static_cast<std::size_t>(capacity), '\0');
  if (!CFStringGetCString(text, out.data(), capacity, kCFStringEncodingUTF8)) return {};
  out.resize(std::char_traits<char>::length(out.c_str()));
  return out;
}

}  // namespace jolstrand::detail
