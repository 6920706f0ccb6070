#include "jolstrand/property_list.hpp"

#include <cstdlib>

#include "jolstrand/file_access.hpp"
#include "plist_reader.hpp"

namespace jolstrand {
namespace {

constexpr int maxDepth = 64;

PropertyListValue converted(plist_t node, int depth) {
  if (node == nullptr || depth > maxDepth) return {};
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t value = 0;
      plist_get_bool_val(node, &value);
      return {value != 0};
    }
    case PLIST_UINT: {
      uint64_t value = 0;
      plist_get_uint_val(node, &value);
      return {static_cast<std::int64_t>(value)};  // negative numbers are stored wrapped
    }
    case PLIST_REAL: {
      double value = 0;
      plist_get_real_val(node, &value);
      return {value};
    }
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return {std::string(text != nullptr ? text : "", text != nullptr ? length : 0)};
    }
    case PLIST_ARRAY: {
      PropertyListValue::Array array;
      for (uint32_t i = 0; i < plist_array_get_size(node); ++i) {
        array.push_back(converted(plist_array_get_item(node, i), depth + 1));
      }
      return {std::move(array)};
    }
    case PLIST_DICT: {
      PropertyListValue::Dictionary dictionary;
      plist_dict_iter iterator = nullptr;
      plist_dict_new_iter(node, &iterator);
      for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        if (key == nullptr) break;
        dictionary.emplace(key, converted(value, depth + 1));
        std::free(key);
      }
      std::free(iterator);
      return {std::move(dictionary)};
    }
    default:
      return {};
  }
}

}  // namespace

std::optional<PropertyListValue> readPropertyList(std::string_view bytes) {
  const detail::Plist root = detail::parsePropertyList(bytes);
  if (!root) return std::nullopt;
  return converted(root.get(), 0);
}

std::optional<PropertyListValue> readPropertyListFile(const std::string& path) {
  const auto bytes = readRegularFile(path, detail::maxPropertyListBytes).bytes;
  if (!bytes) return std::nullopt;
  return readPropertyList(*bytes);
}

}  // namespace jolstrand
