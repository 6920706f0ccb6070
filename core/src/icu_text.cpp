#include "icu_text.hpp"

#include <memory>

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "grapheme_table.hpp"

namespace jolstrand::detail {
namespace {

const icu::Normalizer2& nfc() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* const instance = icu::Normalizer2::getNFCInstance(status);
  return *instance;
}

const icu::Normalizer2& nfd() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* const instance = icu::Normalizer2::getNFDInstance(status);
  return *instance;
}

const icu::Normalizer2& nfkd() {
  UErrorCode status = U_ZERO_ERROR;
  static const icu::Normalizer2* const instance = icu::Normalizer2::getNFKDInstance(status);
  return *instance;
}

icu::BreakIterator& characterBreaks() {
  thread_local const std::unique_ptr<icu::BreakIterator> iterator = [] {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::BreakIterator> made(
        icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    if (U_FAILURE(status) || !made) std::abort();  // ICU's data is missing: nothing can work
    return made;
  }();
  // The analyzer takes the thread_local's destructor to run on return.
  return *iterator;  // NOLINT(clang-analyzer-cplusplus.NewDelete)
}

bool isWidthVariant(UChar32 c) {
  const auto type = u_getIntPropertyValue(c, UCHAR_DECOMPOSITION_TYPE);
  return type == U_DT_WIDE || type == U_DT_NARROW;
}

// A nonspacing mark that modifies a letter's pronunciation (accents, cedillas, dakuten);
// marks that carry meaning of their own, such as variation selectors, are kept.
bool isDiacriticalMark(UChar32 c) {
  return u_charType(c) == U_NON_SPACING_MARK && u_hasBinaryProperty(c, UCHAR_DIACRITIC);
}

icu::UnicodeString widthFolded(const icu::UnicodeString& text) {
  icu::UnicodeString out;
  for (int32_t i = 0; i < text.length();) {
    const UChar32 c = text.char32At(i);
    icu::UnicodeString mapping;
    if (isWidthVariant(c) && nfkd().getDecomposition(c, mapping)) {
      out += mapping;
    } else {
      out.append(c);
    }
    i += U16_LENGTH(c);
  }
  return out;
}

}  // namespace

icu::UnicodeString decodeUtf8(std::string_view utf8) {
  return icu::UnicodeString::fromUTF8(
      icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
}

std::string encodeUtf8(const icu::UnicodeString& text) {
  std::string out;
  text.toUTF8String(out);
  return out;
}

bool isAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

bool isValidUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  const auto length = static_cast<int32_t>(text.size());
  for (int32_t at = 0; at < length;) {
    UChar32 c = 0;
    U8_NEXT(bytes, at, length, c);
    if (c < 0) return false;
  }
  return true;
}

icu::UnicodeString normalized(const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  if (nfc().isNormalized(text, status) && U_SUCCESS(status)) return text;
  status = U_ZERO_ERROR;
  icu::UnicodeString out = nfc().normalize(text, status);
  return U_SUCCESS(status) ? out : text;
}

std::vector<int32_t> clusterBoundaries(const icu::UnicodeString& text) {
  std::vector<int32_t> boundaries;
  icu::BreakIterator& breaks = characterBreaks();
  breaks.setText(text);
  for (int32_t at = breaks.first(); at != icu::BreakIterator::DONE; at = breaks.next()) {
    boundaries.push_back(at);
  }
  if (boundaries.empty()) boundaries.push_back(0);
  return boundaries;
}

Characters charactersOfNormalized(const icu::UnicodeString& text, NewClusters newClusters) {
  Characters out;
  const std::vector<int32_t> boundaries = clusterBoundaries(text);
  out.reserve(boundaries.size() - 1);
  for (std::size_t i = 0; i + 1 < boundaries.size(); ++i) {
    const int32_t start = boundaries[i];
    const int32_t end = boundaries[i + 1];
    const UChar32 first = text.char32At(start);
    if (start + U16_LENGTH(first) == end) {
      out.push_back(static_cast<Character>(first));
    } else {
      const std::string cluster = encodeUtf8(text.tempSubStringBetween(start, end));
      out.push_back(newClusters == NewClusters::intern ? internCluster(cluster)
                                                       : knownCluster(cluster));
    }
  }
  return out;
}

Characters asciiCharacters(std::string_view text, bool lowerCase) {
  Characters out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      out.push_back(internCluster("\r\n"));
      ++i;
      continue;
    }
    if (lowerCase) c = asciiLower(c);
    out.push_back(static_cast<Character>(c));
  }
  return out;
}

icu::UnicodeString folded(const icu::UnicodeString& text) {
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString caseFolded = widthFolded(text);
  caseFolded.foldCase(U_FOLD_CASE_DEFAULT);
  const icu::UnicodeString decomposed = nfd().normalize(caseFolded, status);
  if (U_FAILURE(status)) return normalized(caseFolded);
  icu::UnicodeString bare;
  for (int32_t i = 0; i < decomposed.length();) {
    const UChar32 c = decomposed.char32At(i);
    if (!isDiacriticalMark(c)) bare.append(c);
    i += U16_LENGTH(c);
  }
  return normalized(bare);
}

std::string composedUtf8(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  return encodeUtf8(normalized(decodeUtf8(utf8)));
}

std::string asciiLowercased(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = asciiLower(c);
  return out;
}

}  // namespace jolstrand::detail
