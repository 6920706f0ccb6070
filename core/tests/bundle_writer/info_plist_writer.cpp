#include "info_plist_writer.hpp"

#include <plist/plist.h>

#include <cstdlib>
#include <memory>

namespace jolstrand::tools {

std::string infoPlistBytes(const InfoPlist& info) {
  const std::unique_ptr<void, decltype(&plist_free)> dict(plist_new_dict(), &plist_free);
  const auto setString = [&](const char* key, const std::optional<std::string>& value) {
    if (value) plist_dict_set_item(dict.get(), key, plist_new_string(value->c_str()));
  };
  setString("CFBundleIdentifier", info.identifier);
  setString("CFBundleDisplayName", info.displayName);
  setString("CFBundleName", info.name);
  setString("CFBundleExecutable", info.executable);
  if (const auto* flag = std::get_if<bool>(&info.backgroundOnly)) {
    plist_dict_set_item(dict.get(), "LSBackgroundOnly", plist_new_bool(*flag ? 1 : 0));
  } else if (const auto* number = std::get_if<long>(&info.backgroundOnly)) {
    plist_dict_set_item(dict.get(), "LSBackgroundOnly",
                        plist_new_uint(static_cast<uint64_t>(*number)));
  } else if (const auto* text = std::get_if<std::string>(&info.backgroundOnly)) {
    plist_dict_set_item(dict.get(), "LSBackgroundOnly", plist_new_string(text->c_str()));
  }
  char* bytes = nullptr;
  uint32_t length = 0;
  if (info.binary) {
    plist_to_bin(dict.get(), &bytes, &length);
  } else {
    plist_to_xml(dict.get(), &bytes, &length);
  }
  std::string out(bytes != nullptr ? bytes : "", length);
  std::free(bytes);
  return out;
}

}  // namespace jolstrand::tools
