#include "jolstrand/text.hpp"

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include "grapheme_table.hpp"
#include "icu_text.hpp"

namespace jolstrand {
namespace {

// One character of a name as word splitting sees it: where its UTF-8 text lies and its class.
struct ClassifiedCharacter {
  std::size_t begin = 0;
  std::size_t end = 0;
  bool letterOrNumber = false;
  bool uppercase = false;
  bool lowercase = false;
};

std::vector<ClassifiedCharacter> classifyAscii(std::string_view text) {
  std::vector<ClassifiedCharacter> out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool upper = c >= 'A' && c <= 'Z';
    const bool lower = c >= 'a' && c <= 'z';
    const bool digit = c >= '0' && c <= '9';
    const std::size_t length = (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    out.push_back({i, i + length, upper || lower || digit, upper, lower});
    i += length - 1;
  }
  return out;
}

bool hasProperty(UChar32 c, UProperty property) {
  return u_hasBinaryProperty(c, property) != 0;
}

// Upper case: a single Uppercase scalar, or unchanged by upper-casing while being cased.
// Lower case is the mirror image; `same` and `other` are the two case mappings.
bool hasCase(const icu::UnicodeString& character, bool single, UChar32 first, UProperty property,
             bool upper) {
  if (single && hasProperty(first, property)) return true;
  icu::UnicodeString same = character;
  icu::UnicodeString other = character;
  if (upper) {
    same.toUpper(icu::Locale::getRoot());
    other.toLower(icu::Locale::getRoot());
  } else {
    same.toLower(icu::Locale::getRoot());
    other.toUpper(icu::Locale::getRoot());
  }
  if (same != character) return false;
  return (single && hasProperty(first, UCHAR_CASED)) || other != character;
}

std::vector<ClassifiedCharacter> classifyUnicode(const icu::UnicodeString& text) {
  std::vector<ClassifiedCharacter> out;
  const std::vector<int32_t> boundaries = detail::clusterBoundaries(text);
  std::size_t byte = 0;
  for (std::size_t i = 0; i + 1 < boundaries.size(); ++i) {
    const icu::UnicodeString character =
        text.tempSubStringBetween(boundaries[i], boundaries[i + 1]);
    const UChar32 first = character.char32At(0);
    const bool single = character.countChar32() == 1;
    std::size_t bytes = 0;
    for (int32_t k = 0; k < character.length();) {
      const UChar32 c = character.char32At(k);
      bytes += static_cast<std::size_t>(U8_LENGTH(c));
      k += U16_LENGTH(c);
    }
    const bool letter = hasProperty(first, UCHAR_ALPHABETIC);
    const bool number = u_getIntPropertyValue(first, UCHAR_NUMERIC_TYPE) != U_NT_NONE;
    out.push_back({byte, byte + bytes, letter || number,
                   hasCase(character, single, first, UCHAR_UPPERCASE, true),
                   hasCase(character, single, first, UCHAR_LOWERCASE, false)});
    byte += bytes;
  }
  return out;
}

std::vector<std::string> splitClassified(std::string_view text,
                                         const std::vector<ClassifiedCharacter>& characters) {
  std::vector<std::string> words;
  std::size_t wordStart = 0;  // index into characters of the current word's first character
  std::size_t wordEnd = 0;    // one past its last character; empty when equal
  bool previousWasLowercase = false;
  const auto finishWord = [&](std::size_t end) {
    if (wordStart < end) {
      words.emplace_back(text.substr(characters[wordStart].begin,
                                     characters[end - 1].end - characters[wordStart].begin));
    }
  };
  for (std::size_t i = 0; i < characters.size(); ++i) {
    const ClassifiedCharacter& c = characters[i];
    if (!c.letterOrNumber) {
      finishWord(wordEnd);
      wordStart = wordEnd = i + 1;
      previousWasLowercase = false;
      continue;
    }
    if (c.uppercase && previousWasLowercase && wordStart < wordEnd) {
      finishWord(wordEnd);
      wordStart = i;
    } else if (c.lowercase && wordEnd - wordStart > 1 && characters[wordEnd - 1].uppercase &&
               characters[wordEnd - 2].uppercase) {
      finishWord(wordEnd - 1);
      wordStart = wordEnd - 1;
    }
    wordEnd = i + 1;
    previousWasLowercase = c.lowercase;
  }
  finishWord(wordEnd);
  return words;
}

}  // namespace

Characters characters(std::string_view utf8) {
  if (detail::isAscii(utf8)) return detail::asciiCharacters(utf8, false);
  return detail::charactersOfNormalized(detail::normalized(detail::decodeUtf8(utf8)));
}

std::string toUtf8(const Characters& text) {
  std::string out;
  out.reserve(text.size());
  for (const Character c : text) detail::appendCharacter(out, c);
  return out;
}

std::string fold(std::string_view text) {
  if (detail::isAscii(text)) return detail::asciiLowercased(text);
  return detail::encodeUtf8(detail::folded(detail::decodeUtf8(text)));
}

std::vector<std::string> splitWords(std::string_view name) {
  if (detail::isAscii(name)) return splitClassified(name, classifyAscii(name));
  const std::string normalizedName = detail::composedUtf8(name);
  return splitClassified(normalizedName, classifyUnicode(detail::decodeUtf8(normalizedName)));
}

}  // namespace jolstrand
