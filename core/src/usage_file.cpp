#include "usage_file.hpp"

#include <cctype>
#include <cmath>
#include <nlohmann/json.hpp>

#include "icu_text.hpp"

namespace jolstrand::detail {
namespace {

using Json = nlohmann::json;

std::string storedKey(const std::string& id) {
  if (isValidUtf8(id) && !id.starts_with('\0')) return id;
  static constexpr char hex[] = "0123456789ABCDEF";
  std::string key(1, '\0');
  for (const char c : id) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '%') {
      key += c;
    } else {
      key += '%';
      key += hex[byte >> 4];
      key += hex[byte & 0xF];
    }
  }
  return key;
}

std::optional<std::string> idOfKey(const std::string& key) {
  if (!key.starts_with('\0')) return key;
  std::string id;
  for (std::size_t i = 1; i < key.size(); ++i) {
    if (key[i] != '%') {
      id += key[i];
      continue;
    }
    if (i + 2 >= key.size() || !std::isxdigit(static_cast<unsigned char>(key[i + 1])) ||
        !std::isxdigit(static_cast<unsigned char>(key[i + 2]))) {
      return std::nullopt;
    }
    id += static_cast<char>(std::stoi(key.substr(i + 1, 2), nullptr, 16));
    i += 2;
  }
  return id;
}

// Reads the file as a stream of parse events, so that nothing but the records is ever built and
// nesting inside ignored members, however deep, costs no more than a counter.
class UsageReader : public nlohmann::json_sax<Json> {
 public:
  UsageRecords records;

  bool null() override { return inIgnoredMember(); }
  bool boolean(bool /*value*/) override { return inIgnoredMember(); }
  bool number_integer(number_integer_t value) override {
    return number(static_cast<double>(value));
  }
  bool number_unsigned(number_unsigned_t value) override {
    return number(static_cast<double>(value));
  }
  bool number_float(number_float_t value, const string_t& /*text*/) override {
    return number(value);
  }
  bool string(string_t& /*value*/) override { return inIgnoredMember(); }
  bool binary(binary_t& /*value*/) override { return inIgnoredMember(); }

  bool start_object(std::size_t /*elements*/) override {
    const bool allowed = depth_ < 2 || inIgnoredMember();  // the top, a record, or ignored
    if (++depth_ == 2) {
      score_.reset();
      updated_.reset();
    }
    return allowed;
  }

  bool end_object() override {
    if (depth_ == 2) {
      if (!score_ || !updated_) return false;  // a record lacks a member
      records[id_] = {*score_, *updated_};
    }
    --depth_;
    return true;
  }

  bool start_array(std::size_t /*elements*/) override {
    const bool allowed = inIgnoredMember();
    ++depth_;
    return allowed;
  }

  bool end_array() override {
    --depth_;
    return true;
  }

  bool key(string_t& name) override {
    if (depth_ == 1) {
      const auto id = idOfKey(name);
      if (!id) return false;
      id_ = *id;
    } else if (depth_ == 2) {
      member_ = name == "score"     ? Member::score
                : name == "updated" ? Member::updated
                                    : Member::extra;
    }
    return true;
  }

  bool parse_error(std::size_t /*position*/, const std::string& /*token*/,
                   const nlohmann::detail::exception& /*error*/) override {
    return false;
  }

 private:
  enum class Member { score, updated, extra };

  // Inside a record's member other than "score" and "updated", at any depth.
  [[nodiscard]] bool inIgnoredMember() const {
    return depth_ > 2 || (depth_ == 2 && member_ == Member::extra);
  }

  bool number(double value) {
    if (depth_ != 2 || member_ == Member::extra) return inIgnoredMember();
    if (!std::isfinite(value)) return false;
    (member_ == Member::score ? score_ : updated_) = value;
    return true;
  }

  int depth_ = 0;
  Member member_ = Member::extra;
  std::string id_;
  std::optional<double> score_;
  std::optional<double> updated_;
};

}  // namespace

std::optional<UsageRecords> decodeUsage(std::string_view text) {
  UsageReader reader;
  if (!Json::sax_parse(text.begin(), text.end(), &reader)) return std::nullopt;
  return std::move(reader.records);
}

std::string encodeUsage(const UsageRecords& records) {
  Json object = Json::object();
  for (const auto& [id, record] : records) {
    object[storedKey(id)] = {{"score", record.score}, {"updated", record.updated}};
  }
  return object.dump();
}

}  // namespace jolstrand::detail
