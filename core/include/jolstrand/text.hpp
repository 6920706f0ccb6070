#pragma once
// Text as the search core sees it: sequences of user-perceived characters (extended grapheme
// clusters) under canonical equivalence. Strings at the interface are UTF-8; bytes that are not
// valid UTF-8 read as U+FFFD, one per bad sequence, so any file name can be handled.
// Every function here is pure and may be called from any thread.

#include <string>
#include <string_view>
#include <vector>

namespace jolstrand {

/// One user-perceived character. A character made of one Unicode scalar is that scalar; a longer
/// one (a base with combining marks that do not compose, an emoji sequence, ...) is a number
/// above U+10FFFF that stands for its normalised text for the life of the process. Two
/// characters are equal exactly when they are canonically equivalent.
using Character = char32_t;

/// A sequence of characters; lengths and positions count characters, never bytes.
using Characters = std::u32string;
using CharactersView = std::u32string_view;

/// The characters of a UTF-8 text, after canonical (NFC) normalisation.
[[nodiscard]] Characters characters(std::string_view utf8);

/// The UTF-8 text of a character sequence (in normalised form).
[[nodiscard]] std::string toUtf8(const Characters& text);

/// Folds case (Unicode default case folding), removes diacritical marks and folds full-width
/// and half-width forms to their ordinary forms, with no locale. Nothing else is removed:
/// spaces, punctuation, symbols and digits pass through.
[[nodiscard]] std::string fold(std::string_view text);

/// Splits a name into words: characters that are neither letters nor numbers separate words,
/// a lower-case letter followed by a capital starts a new word ("eReader" gives "e", "Reader"),
/// and the last capital of a run before a lower-case letter starts the next one ("PDFViewer"
/// gives "PDF", "Viewer"). Works on the unfolded name because it reads letter case.
[[nodiscard]] std::vector<std::string> splitWords(std::string_view name);

}  // namespace jolstrand
