#include "jolstrand/text.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(Fold, RemovesCaseAccentsAndWidthButKeepsEverythingElse) {
  EXPECT_EQ(fold("Café \xEF\xBC\xADusic"), "cafe music");  // full-width capital M
  EXPECT_EQ(fold("  Hex-Dump, v2.0!  "), "  hex-dump, v2.0!  ");
  EXPECT_EQ(fold(""), "");
}

TEST(Fold, TreatsPrecomposedAndCombiningAccentsAlike) {
  EXPECT_EQ(fold("R\xC3\xA9sum\xC3\xA9"), "resume");    // precomposed é
  EXPECT_EQ(fold("Re\xCC\x81sume\xCC\x81"), "resume");  // e + combining acute
  EXPECT_EQ(fold("\xC3\x85ngstr\xC3\xB6m"), "angstrom");
  EXPECT_EQ(fold("Crème Brûlée"), "creme brulee");
}

TEST(Fold, HandlesOtherScripts) {
  EXPECT_EQ(fold("\xCE\x86\xCE\xA4\xCE\x9B\xCE\x91\xCE\xA3"),
            "\xCE\xB1\xCF\x84\xCE\xBB\xCE\xB1\xCF\x83");  // ΆΤΛΑΣ → ατλασ
  EXPECT_EQ(fold("\xD0\x9C\xD0\xA3\xD0\x97\xD0\xAB\xD0\x9A\xD0\x90"),
            "\xD0\xBC\xD1\x83\xD0\xB7\xD1\x8B\xD0\xBA\xD0\xB0");  // МУЗЫКА → музыка
  EXPECT_EQ(fold("\xD0\x99"), "\xD0\xB8");  // Й loses its breve, as any diacritic
  EXPECT_EQ(fold("\xE5\x86\x99\xE7\x9C\x9F"), "\xE5\x86\x99\xE7\x9C\x9F");  // 写真 unchanged
  EXPECT_EQ(fold("Stra\xC3\x9F"
                 "e"),
            "strasse");  // default case folding expands ß
}

TEST(Fold, FoldsHalfWidthKatakanaAndFullWidthLatin) {
  EXPECT_EQ(fold("\xEF\xBD\xB6\xEF\xBE\x92\xEF\xBE\x97"),
            "\xE3\x82\xAB\xE3\x83\xA1\xE3\x83\xA9");  // ｶﾒﾗ → カメラ
  EXPECT_EQ(fold("\xEF\xBC\xA1\xEF\xBC\xB0\xEF\xBC\xB0\xEF\xBC\x91"), "app1");  // ＡＰＰ１
  // Only width forms fold: circled digits and superscripts are other compatibility forms.
  EXPECT_EQ(fold("①²"), "①²");
}

TEST(Fold, KeepsEmojiSequencesWhole) {
  const std::string thumbsUpMedium = "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD";
  const std::string family =
      "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
  EXPECT_EQ(fold(thumbsUpMedium), thumbsUpMedium);
  EXPECT_EQ(fold(family), family);
}

TEST(Fold, ReadsInvalidUtf8AsReplacementCharacters) {
  EXPECT_EQ(fold("A\xFF"
                 "B"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(fold("\xC3"), "\xEF\xBF\xBD");  // truncated sequence
  EXPECT_EQ(fold(std::string("x\0y", 3)), std::string("x\0y", 3));
}

TEST(Characters, CountsUserPerceivedCharactersUnderCanonicalEquivalence) {
  EXPECT_EQ(characters("e\xCC\x81"), characters("\xC3\xA9"));
  EXPECT_EQ(characters("e\xCC\x81").size(), 1U);
  EXPECT_EQ(characters("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD").size(), 1U);  // emoji + skin tone
  EXPECT_EQ(characters("\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5").size(), 1U);  // flag
  EXPECT_EQ(characters("a\r\nb").size(), 3U);
  EXPECT_EQ(characters("q\xCC\x81q").size(), 2U);  // q + acute has no precomposed form
  EXPECT_NE(characters("q\xCC\x81"), characters("q"));
  EXPECT_THAT(characters(""), IsEmpty());
}

TEST(Characters, RoundTripsThroughUtf8) {
  for (const std::string text : {"Sound Wave", "q\xCC\xA3\xCC\x81x", "a\r\nb",
                                 "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9"}) {
    EXPECT_EQ(toUtf8(characters(text)), text);
  }
  EXPECT_EQ(toUtf8(characters("e\xCC\x81")), "\xC3\xA9");  // comes back composed
}

TEST(SplitWords, SplitsAtSeparatorsAndCaseChanges) {
  EXPECT_THAT(splitWords("Sound Wave Editor"), ElementsAre("Sound", "Wave", "Editor"));
  EXPECT_THAT(splitWords("eReader"), ElementsAre("e", "Reader"));
  EXPECT_THAT(splitWords("NoteBook"), ElementsAre("Note", "Book"));
  EXPECT_THAT(splitWords("McKinley"), ElementsAre("Mc", "Kinley"));
  EXPECT_THAT(splitWords("Hex-Dump Viewer"), ElementsAre("Hex", "Dump", "Viewer"));
  EXPECT_THAT(splitWords("tool.kit"), ElementsAre("tool", "kit"));
  EXPECT_THAT(splitWords("Sam's Notes"), ElementsAre("Sam", "s", "Notes"));
  EXPECT_THAT(splitWords("  --Map  Maker 10-- "), ElementsAre("Map", "Maker", "10"));
}

TEST(SplitWords, TreatsRunsOfCapitals) {
  EXPECT_THAT(splitWords("PDFViewer"), ElementsAre("PDF", "Viewer"));
  EXPECT_THAT(splitWords("XMail"), ElementsAre("X", "Mail"));
  EXPECT_THAT(splitWords("Xmail"), ElementsAre("Xmail"));
  EXPECT_THAT(splitWords("ABCdef"), ElementsAre("AB", "Cdef"));
  EXPECT_THAT(splitWords("QRS"), ElementsAre("QRS"));
}

TEST(SplitWords, KeepsDigitsInsideWords) {
  EXPECT_THAT(splitWords("2Track 7"), ElementsAre("2Track", "7"));
  EXPECT_THAT(splitWords("Base64Tool"), ElementsAre("Base64Tool"));
}

TEST(SplitWords, ReadsCaseAndClassesBeyondAscii) {
  EXPECT_THAT(splitWords("\xC3\xA9"
                         "Lecteur"),
              ElementsAre("\xC3\xA9", "Lecteur"));  // éLecteur
  EXPECT_THAT(splitWords("e\xCC\x81"
                         "Lecteur"),
              ElementsAre("\xC3\xA9", "Lecteur"));                             // composed
  EXPECT_THAT(splitWords("\xCE\x9D\xCE\xAD\xCE\xB1\xCE\x91\xCF\x80\xCF\x8C"),  // ΝέαΑπό
              ElementsAre("\xCE\x9D\xCE\xAD\xCE\xB1", "\xCE\x91\xCF\x80\xCF\x8C"));
  EXPECT_THAT(
      splitWords("\xE5\x86\x99\xE7\x9C\x9F\xE3\x83\xBB\xE7\xB7\xA8\xE9\x9B\x86"),  // 写真・編集
      ElementsAre("\xE5\x86\x99\xE7\x9C\x9F", "\xE7\xB7\xA8\xE9\x9B\x86"));
  EXPECT_THAT(splitWords("\xD9\xA3"
                         "D"),
              ElementsAre("\xD9\xA3"
                          "D"));  // Arabic-Indic three is a number
  EXPECT_THAT(splitWords("I\xE2\x9D\xA4\xEF\xB8\x8FNY"),
              ElementsAre("I", "NY"));  // emoji separates
}

TEST(SplitWords, HasNoWordsForEmptyOrSeparatorOnlyText) {
  EXPECT_THAT(splitWords(""), IsEmpty());
  EXPECT_THAT(splitWords("   "), IsEmpty());
  EXPECT_THAT(splitWords("-._ '"), IsEmpty());
}

TEST(SplitWords, SurvivesInvalidUtf8) {
  EXPECT_THAT(splitWords("ab\xFF"
                         "cd"),
              ElementsAre("ab", "cd"));  // U+FFFD is a symbol
  EXPECT_THAT(splitWords("\xE2\x82"), IsEmpty());
}

}  // namespace
}  // namespace jolstrand
