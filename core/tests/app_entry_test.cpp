#include "jolstrand/app_entry.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unordered_set>

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string initialsOf(std::string_view name) {
  return toUtf8(SearchName(name).initials);
}

std::vector<std::string> foldedNames(const AppEntry& entry) {
  std::vector<std::string> out;
  for (const SearchName& name : entry.names()) out.push_back(toUtf8(name.folded));
  return out;
}

TEST(SearchName, HasTheInitialsOfItsFoldedWords) {
  const std::pair<const char*, const char*> cases[] = {
      {"Sound Wave Editor", "swe"},
      {"eReader", "er"},
      {"NoteBook", "nb"},
      {"McKinley", "mk"},
      {"PDFViewer", "pv"},
      {"XMail", "xm"},
      {"Xmail", "x"},
      {"ABCdef", "ac"},
      {"QRS", "q"},
      {"2Track 7", "27"},
      {"Base64Tool", "b"},
      {"Map Maker 10", "mm1"},
      {"Hex-Dump Viewer", "hdv"},
      {"tool.kit", "tk"},
      {"Sam's Notes", "ssn"},
      {"", ""},
      {"   ", ""},
      {"\xC3\x89toile Noire", "en"},
  };
  for (const auto& [name, initials] : cases) EXPECT_EQ(initialsOf(name), initials) << name;
}

TEST(SearchName, FoldsTheWholeNameAndEachWord) {
  const SearchName name("Caf\xC3\xA9 \xEF\xBC\xADusic");
  EXPECT_EQ(toUtf8(name.folded), "cafe music");
  ASSERT_EQ(name.words.size(), 2U);
  EXPECT_EQ(toUtf8(name.words[0]), "cafe");
  EXPECT_EQ(toUtf8(name.words[1]), "music");
}

TEST(SearchName, DropsWordsThatFoldToNothing) {
  // A Hebrew point opening the text is a letter of its own that folds away.
  const SearchName name("\xD6\xB0 Cd");
  EXPECT_EQ(name.words.size(), 1U);
  EXPECT_EQ(toUtf8(name.initials), "c");
}

TEST(AppEntry, KeepsOneNamePerFoldedFormDisplayNameFirst) {
  const AppEntry entry("com.example.notes", "/Applications/Notes.app", "Notes",
                       {"notes", "NOTES", "", "Notes Pro", "N\xC3\x93TES PRO"});
  EXPECT_THAT(foldedNames(entry), ElementsAre("notes", "notes pro"));
  EXPECT_EQ(entry.displayName(), "Notes");
}

TEST(AppEntry, SkipsADisplayNameThatFoldsToNothing) {
  const AppEntry fallback("id", "/A/x.app", "\xCC\x81", {"", "Other"});
  EXPECT_THAT(foldedNames(fallback), ElementsAre("other"));
  EXPECT_EQ(fallback.displayName(), "\xCC\x81");

  const AppEntry nameless("id", "/A/y.app", "", {"", "\xCC\x81"});
  EXPECT_THAT(nameless.names(), IsEmpty());
}

TEST(AppEntry, WithIDChangesOnlyTheIdentity) {
  const AppEntry entry("com.example.a", "/Applications/A.app", "A", {"Alpha"});
  const AppEntry renamed = entry.withID("com.example.a /Applications/A.app");
  EXPECT_EQ(renamed.id(), "com.example.a /Applications/A.app");
  EXPECT_EQ(renamed.path(), entry.path());
  EXPECT_EQ(renamed.displayName(), entry.displayName());
  EXPECT_EQ(renamed.names(), entry.names());
  EXPECT_NE(renamed, entry);
  EXPECT_EQ(renamed.withID("com.example.a"), entry);
}

TEST(AppEntry, EqualityAndHashingCoverEveryField) {
  const AppEntry base("id", "/p.app", "Name", {"Other"});
  const AppEntry variants[] = {
      AppEntry("id2", "/p.app", "Name", {"Other"}),
      AppEntry("id", "/q.app", "Name", {"Other"}),
      AppEntry("id", "/p.app", "Nome", {"Other"}),
      AppEntry("id", "/p.app", "Name", {"Else"}),
  };
  std::unordered_set<AppEntry> set{base, AppEntry("id", "/p.app", "Name", {"Other"})};
  EXPECT_EQ(set.size(), 1U);
  for (const AppEntry& variant : variants) {
    EXPECT_NE(variant, base);
    set.insert(variant);
  }
  EXPECT_EQ(set.size(), 5U);
}

}  // namespace
}  // namespace jolstrand
