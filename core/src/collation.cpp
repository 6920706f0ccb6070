#include "jolstrand/collation.hpp"

#include <cstdlib>
#include <memory>

#include <unicode/coll.h>

#include "icu_text.hpp"

namespace jolstrand {
namespace {

// The collation locale named by the environment, as ICU spells it ("de_DE", "" for root).
std::string environmentLocale() {
  for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    std::string name(value);
    name = name.substr(0, name.find_first_of(".@"));
    if (name == "C" || name == "POSIX") return {};
    return name;
  }
  return {};
}

std::unique_ptr<icu::Collator> makeCollator() {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::Collator> collator(
      icu::Collator::createInstance(icu::Locale(environmentLocale().c_str()), status));
  if (U_FAILURE(status) || !collator) {
    status = U_ZERO_ERROR;
    collator.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
  }
  if (U_FAILURE(status) || !collator) std::abort();  // ICU's data is missing: nothing can work
  collator->setAttribute(UCOL_NUMERIC_COLLATION, UCOL_ON, status);
  collator->setAttribute(UCOL_STRENGTH, UCOL_TERTIARY, status);
  return collator;
}

const icu::Collator& collator() {
  static const icu::Collator* const prototype = makeCollator().release();  // kept to the end
  thread_local const std::unique_ptr<icu::Collator> own(prototype->clone());
  // The analyzer takes the thread_local's destructor to run on return.
  return *own;  // NOLINT(clang-analyzer-cplusplus.NewDelete)
}

}  // namespace

bool localizedStandardLess(std::string_view a, std::string_view b) {
  UErrorCode status = U_ZERO_ERROR;
  const UCollationResult result =
      collator().compareUTF8(icu::StringPiece(a.data(), static_cast<int32_t>(a.size())),
                             icu::StringPiece(b.data(), static_cast<int32_t>(b.size())), status);
  return U_SUCCESS(status) && result == UCOL_LESS;
}

std::string localizedSortKey(std::string_view name) {
  const icu::UnicodeString text = detail::decodeUtf8(name);
  std::string key(64, '\0');
  for (;;) {
    const int32_t needed = collator().getSortKey(text, reinterpret_cast<uint8_t*>(key.data()),
                                                 static_cast<int32_t>(key.size()));
    if (needed <= static_cast<int32_t>(key.size())) {
      key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);  // drop the final NUL
      return key;
    }
    key.resize(static_cast<std::size_t>(needed));
  }
}

}  // namespace jolstrand
