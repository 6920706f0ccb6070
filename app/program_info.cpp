#include "program_info.hpp"

namespace jolstrand {

ProgramInfo::ProgramInfo(std::string_view plistBytes) {
  auto root = readPropertyList(plistBytes);
  if (!root) return;
  if (auto* dictionary = std::get_if<PropertyListValue::Dictionary>(&root->value)) {
    keys_ = std::move(*dictionary);
  }
}

const ProgramInfo& ProgramInfo::own() {
  static const ProgramInfo info(ownInfoPlistBytes().value_or(std::string()));
  return info;
}

std::optional<std::string> ProgramInfo::value(std::string_view key) const {
  const auto found = keys_.find(std::string(key));
  if (found == keys_.end()) return std::nullopt;
  if (const auto* text = std::get_if<std::string>(&found->second.value)) return *text;
  return std::nullopt;
}

}  // namespace jolstrand
