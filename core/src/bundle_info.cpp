#include "bundle_info.hpp"

#include <plist/plist.h>
#include <unicode/locid.h>

#include <memory>
#include <vector>

#include "icu_text.hpp"
#include "jolstrand/file_access.hpp"
#include "plist_reader.hpp"

namespace jolstrand::detail {
namespace {

// Property-list strings are meant to be text; whatever bytes a file holds, keep valid UTF-8.
std::optional<std::string> stringValue(plist_t dict, const char* key) {
  const plist_t node = plist_dict_get_item(dict, key);
  if (node == nullptr || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
  uint64_t length = 0;
  const char* text = plist_get_string_ptr(node, &length);
  if (text == nullptr) return std::string();
  const std::string_view value(text, length);
  if (isAscii(value)) return std::string(value);
  return encodeUtf8(decodeUtf8(value));
}

bool readsAsTrue(plist_t node) {
  if (node == nullptr) return false;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return value != 0;
    }
    case PLIST_UINT: {
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return value == 1;
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return value == 1.0;
    }
    default:
      return false;
  }
}

std::string lowercased(const std::string& text) {
  if (!isAscii(text)) {
    icu::UnicodeString unicode = decodeUtf8(text);
    unicode.toLower(icu::Locale::getRoot());
    return encodeUtf8(unicode);
  }
  return asciiLowercased(text);
}

}  // namespace

BundleInfo parseInfoPlist(std::string_view bytes) {
  BundleInfo info;
  const Plist root = parsePropertyList(bytes);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) return info;
  info.identifier = stringValue(root.get(), "CFBundleIdentifier");
  info.displayName = stringValue(root.get(), "CFBundleDisplayName");
  info.bundleName = stringValue(root.get(), "CFBundleName");
  info.executable = stringValue(root.get(), "CFBundleExecutable");
  info.iconFile = stringValue(root.get(), "CFBundleIconFile");
  info.backgroundOnly = readsAsTrue(plist_dict_get_item(root.get(), "LSBackgroundOnly"));
  return info;
}

BundleInfo readBundleInfo(const std::string& bundlePath) {
  const auto bytes =
      readRegularFile(bundlePath + "/Contents/Info.plist", maxPropertyListBytes).bytes;
  return bytes ? parseInfoPlist(*bytes) : BundleInfo{};
}

// No character outside ASCII lower-cases to one of these letters, so comparing the last four
// bytes is comparing the last four characters.
bool endsWithAppExtension(std::string_view text) {
  return text.size() >= 4 && asciiLowercased(text.substr(text.size() - 4)) == ".app";
}

std::optional<AppEntry> bundleEntry(const std::string& at, std::string shownName,
                                    const BundleInfo& info) {
  if (info.backgroundOnly) return std::nullopt;
  if (endsWithAppExtension(shownName)) shownName.resize(shownName.size() - 4);
  std::vector<std::string> otherNames;
  for (const auto& name : {info.displayName, info.bundleName}) {
    if (name && !name->empty() && *name != shownName) otherNames.push_back(*name);
  }
  std::string id = info.identifier && !info.identifier->empty() ? lowercased(*info.identifier) : at;
  return AppEntry(std::move(id), at, std::move(shownName), otherNames);
}

}  // namespace jolstrand::detail
