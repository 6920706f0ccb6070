#include "jolstrand/collation.hpp"

#include <cstdlib>

#include <unicode/coll.h>

#include "icu_text.hpp"

namespace jolstrand {
namespace {

// The locale as ICU spells it ("de_DE"; "" for root).
std::string icuLocale(std::string_view locale) {
  std::string name(locale.substr(0, locale.find_first_of(".@")));
  if (name == "C" || name == "POSIX") return {};
  return name;
}

std::unique_ptr<icu::Collator> makeCollator(std::string_view locale) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> collator(
      icu::Collator::createInstance(icu::Locale(icuLocale(locale).c_str()), status));
  if (U_FAILURE(status) || !collator) {
    status = U_ZERO_ERROR;
    collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
  }
  if (U_FAILURE(status) || !collator) std::abort();  // ICU's data is missing: nothing can work
  collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
  collator->setAttribute(UCOL_STRENGTH, UCOL_TERTIARY, status);
  return collator;
}

std::unique_ptr<const Collator>& processCollator() {
  static std::unique_ptr<const Collator> collator = std::make_unique<const Collator>("");
  return collator;
}

}  // namespace

// ICU's collators may be used from several threads at once through their const operations.
struct Collator::Icu {
  std::unique_ptr<const icu::Collator> collator;
};

Collator::Collator(std::string_view locale) : icu_(new Icu{makeCollator(locale)}) {}

Collator::~Collator() = default;

bool Collator::less(std::string_view a, std::string_view b) const {
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult result = icu_->collator->compareUTF8(
      icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
      icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
  return U_SUCCESS(status) && result == UCOL_LESS;
}

std::string Collator::sortKey(std::string_view name) const {
  const icu::UnicodeString text = detail::decodeUtf8(name);
  std::string key(64, '\0');
  for (;;) {
    const int32_t needed = icu_->collator->getSortKey(text, reinterpret_cast<uint8_t*>(key.data()),
                                                      static_cast<int32_t>(key.size()));
    if (needed <= static_cast<int32_t>(key.size())) {
      key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);  // drop the final NUL
      return key;
    }
    key.resize(static_cast<std::size_t>(needed));
  }
}

void Collator::useForProcess(std::string_view locale) {
  processCollator() = std::make_unique<const Collator>(locale);
}

const Collator& Collator::process() {
  return *processCollator();
}

bool localizedStandardLess(std::string_view a, std::string_view b) {
  return Collator::process().less(a, b);
}

std::string localizedSortKey(std::string_view name) {
  return Collator::process().sortKey(name);
}

}  // namespace jolstrand
