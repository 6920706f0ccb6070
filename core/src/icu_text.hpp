#pragma once
// ICU helpers shared by the text functions and the collation: decoding, normalisation and
// grapheme segmentation. Kept out of the public headers.

#include <string>
#include <string_view>
#include <vector>

#include <unicode/unistr.h>

#include "jolstrand/text.hpp"

namespace jolstrand::detail {

/// Decodes UTF-8, one U+FFFD for each ill-formed sequence.
[[nodiscard]] icu::UnicodeString decodeUtf8(std::string_view utf8);

[[nodiscard]] std::string encodeUtf8(const icu::UnicodeString& text);

[[nodiscard]] bool isAscii(std::string_view text);

[[nodiscard]] bool isValidUtf8(std::string_view text);

/// Canonical composition (NFC).
[[nodiscard]] icu::UnicodeString normalized(const icu::UnicodeString& text);

/// UTF-8 text in canonically composed form (NFC), as UTF-8; ASCII comes back as it is. Its byte
/// order is code-point order.
[[nodiscard]] std::string composedUtf8(std::string_view utf8);

/// c lower-cased when it is an ASCII capital letter, else c.
[[nodiscard]] constexpr char asciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

/// text with its ASCII capital letters lower-cased, every other byte as it is.
[[nodiscard]] std::string asciiLowercased(std::string_view text);

/// Whether a cluster never seen before gets a character of its own (names) or stands as
/// unknownCharacter (queries, which are only compared against names).
enum class NewClusters { intern, markUnknown };

/// The characters of text that is already in NFC.
[[nodiscard]] Characters charactersOfNormalized(const icu::UnicodeString& text,
                                                NewClusters newClusters = NewClusters::intern);

/// The characters of ASCII text (each byte is one character, except CR LF).
[[nodiscard]] Characters asciiCharacters(std::string_view text, bool lowerCase);

/// `fold` on decoded text; the result is in NFC.
[[nodiscard]] icu::UnicodeString folded(const icu::UnicodeString& text);

/// The UTF-16 offsets where the grapheme clusters of text start, followed by its length.
[[nodiscard]] std::vector<int32_t> clusterBoundaries(const icu::UnicodeString& text);

}  // namespace jolstrand::detail
