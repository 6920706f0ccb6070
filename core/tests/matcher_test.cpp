#include "jolstrand/matcher.hpp"

#include "name_tier.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace jolstrand {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

AppEntry app(const std::string& name, const std::vector<std::string>& otherNames = {}) {
  return AppEntry("id." + name, "/Applications/" + name + ".app", name, otherNames);
}

std::vector<std::string> namesOf(const std::vector<Match>& matches) {
  std::vector<std::string> out;
  out.reserve(matches.size());
  for (const Match& match : matches) out.push_back(match.entry.displayName());
  return out;
}

std::optional<MatchTier> tierFor(const std::string& name, const std::string& query) {
  const auto matches = Matcher({app(name)}).search(query, {}, 9);
  if (matches.empty()) return std::nullopt;
  return matches.front().tier;
}

TEST(MatchTier, IsOrderedConvertibleAndPrintable) {
  EXPECT_LT(MatchTier::exact, MatchTier::subsequence);
  EXPECT_EQ(matchTier(3), MatchTier::wordPrefix);
  EXPECT_EQ(matchTier(6), std::nullopt);
  EXPECT_EQ(matchTier(-1), std::nullopt);
  EXPECT_EQ(rawValue(MatchTier::substring), 4);
  std::ostringstream printed;
  printed << MatchTier::wordPrefix << ' ' << MatchTier::subsequence;
  EXPECT_EQ(printed.str(), "wordPrefix subsequence");
}

TEST(Tiers, FollowTheirPrecedenceForSoundWaveEditor) {
  const std::pair<const char*, std::optional<MatchTier>> cases[] = {
      {"Sound Wave Editor", MatchTier::exact},
      {"  sound ", MatchTier::prefix},
      {"SWE", MatchTier::initials},
      {"sw", MatchTier::initials},
      {"s", MatchTier::prefix},
      {"wav", MatchTier::wordPrefix},
      {"sound edi", MatchTier::wordPrefix},
      {"edi sound", std::nullopt},
      {"ave", MatchTier::substring},
      {"wed", MatchTier::subsequence},
      {"swed", MatchTier::subsequence},
      {"xyz", std::nullopt},
      {"\tSOUND\xE2\x80\x83", MatchTier::prefix},  // tab and em space are trimmed too
      {"s\xC3\xB6und", MatchTier::prefix},         // the query is folded
  };
  for (const auto& [query, tier] : cases) {
    EXPECT_EQ(tierFor("Sound Wave Editor", query), tier) << '"' << query << '"';
  }
}

TEST(Tiers, LineBreaksAreNotTrimmedAndTabsDoNotSplitWords) {
  EXPECT_EQ(tierFor("Sound Wave Editor", "sound\n"), std::nullopt);
  EXPECT_EQ(tierFor("Sound Wave Editor", "wave\teditor"), std::nullopt);
}

TEST(Tiers, SubsequenceIgnoresPunctuationBetweenWords) {
  EXPECT_EQ(tierFor("tool.kit", "toolkit"), MatchTier::subsequence);
  EXPECT_EQ(tierFor("tool.kit", "tlk"), MatchTier::subsequence);
  EXPECT_EQ(tierFor("tool.kit", "ok"), std::nullopt);  // no word starts with o
  EXPECT_EQ(tierFor("tool.kit", "kt"), MatchTier::subsequence);
  EXPECT_EQ(tierFor("tool.kit", "tk"), MatchTier::initials);
  EXPECT_EQ(tierFor("tool.kit", "ik"), std::nullopt);
}

TEST(Tiers, InitialsNeedTwoCharactersAndTwoWords) {
  EXPECT_EQ(tierFor("2Track 7", "27"), MatchTier::initials);
  EXPECT_EQ(tierFor("Xmail", "xm"), MatchTier::prefix);
  EXPECT_EQ(tierFor("QRS", "q"), MatchTier::prefix);
  EXPECT_EQ(tierFor("Photo Booth", "pb"), MatchTier::initials);
  EXPECT_EQ(tierFor("Photo Booth", "p"), MatchTier::prefix);
  EXPECT_EQ(tierFor("Photo Booth", "b"), MatchTier::wordPrefix);
}

TEST(Tiers, CompareCharactersNotCodePoints) {
  // A query ending in a bare "e" must not match the start of "é" written with a combining mark.
  EXPECT_EQ(tierFor("q\xCC\x81uit", "q"), MatchTier::prefix);
  EXPECT_EQ(tierFor("Caf\xC3\xA9", "cafe\xCC\x81"), MatchTier::exact);
  EXPECT_EQ(tierFor("Ｍusic Box", "music"), MatchTier::prefix);
}

TEST(WordsInOrder, UsesEachNameWordOnce) {
  const auto w = [](std::initializer_list<const char*> words) {
    std::vector<Characters> out;
    for (const char* word : words) out.push_back(characters(word));
    return out;
  };
  EXPECT_TRUE(detail::wordsInOrder(w({"sound", "wave", "editor"}), w({"so", "ed"})));
  EXPECT_FALSE(detail::wordsInOrder(w({"sound", "wave", "editor"}), w({"ed", "so"})));
  EXPECT_FALSE(detail::wordsInOrder(w({"sound"}), w({"so", "so"})));
  EXPECT_TRUE(detail::wordsInOrder(w({"sound", "sound"}), w({"so", "so"})));
  EXPECT_TRUE(detail::wordsInOrder(w({"a"}), {}));
}

TEST(Contains, FindsContiguousRuns) {
  EXPECT_TRUE(detail::contains(characters("sound wave"), characters("d w")));
  EXPECT_TRUE(detail::contains(characters("abc"), characters("")));
  EXPECT_FALSE(detail::contains(characters("ab"), characters("abc")));
  EXPECT_FALSE(detail::contains(characters("a b c"), characters("abc")));
}

TEST(Matcher, TakesTheBestTierAndShortestNameOfAnEntry) {
  const Matcher matcher({app("Visual Studio Code", {"Code", "VS Code"})});
  const auto matches = matcher.search("code", {}, 9);
  ASSERT_EQ(matches.size(), 1U);
  EXPECT_EQ(matches[0].tier, MatchTier::exact);
  EXPECT_EQ(matches[0].nameLength, 4);

  const auto other = matcher.search("vs", {}, 9);
  ASSERT_EQ(other.size(), 1U);
  EXPECT_EQ(other[0].tier, MatchTier::prefix);  // from "VS Code", not the initials "vsc"
  EXPECT_EQ(other[0].nameLength, 7);
}

TEST(Matcher, OrdersByTierThenNameLengthThenUsage) {
  const Matcher matcher({app("Notes"), app("Notes Pro"), app("Nova")});
  const auto matches = matcher.search("no", {{"id.Notes Pro", 3.0}}, 9);
  EXPECT_THAT(namesOf(matches), ElementsAre("Nova", "Notes", "Notes Pro"));
  EXPECT_EQ(matches[2].usage, 3.0);
  EXPECT_EQ(matches[0].usage, 0.0);

  const Matcher tiers({app("Banana"), app("Nano"), app("Anvil Box")});
  EXPECT_THAT(namesOf(tiers.search("an", {{"id.Banana", 100.0}}, 9)),
              ElementsAre("Anvil Box", "Nano", "Banana"));
}

TEST(Matcher, BreaksTiesByUsageThenNameInFileListOrderThenCatalogueOrder) {
  // Names of one length, so that only usage and the name order can decide.
  const Matcher matcher({app("Tool 10a"), app("tool 2ab"), app("Tool 3ab")});
  EXPECT_THAT(namesOf(matcher.search("tool", {}, 9)),
              ElementsAre("tool 2ab", "Tool 3ab", "Tool 10a"));
  EXPECT_THAT(namesOf(matcher.search("tool", {{"id.Tool 10a", 1.0}}, 9)),
              ElementsAre("Tool 10a", "tool 2ab", "Tool 3ab"));

  // Same name, same everything: catalogue order stays.
  const Matcher twins({AppEntry("b", "/b.app", "Twin"), AppEntry("a", "/a.app", "Twin")});
  const auto matches = twins.search("tw", {}, 9);
  ASSERT_EQ(matches.size(), 2U);
  EXPECT_EQ(matches[0].entry.id(), "b");
  EXPECT_EQ(matches[1].entry.id(), "a");
}

TEST(Matcher, ListsLaunchedEntriesForAnEmptyQuery) {
  const Matcher matcher({app("beta"), app("Alpha"), app("Gamma"), app("Delta"),
                         AppEntry("id.nameless", "/n.app", "")});
  const UsageScores usage{{"id.beta", 2.0},  {"id.Alpha", 2.0},    {"id.Gamma", 5.0},
                          {"id.Delta", 0.0}, {"id.nameless", 1.0}, {"id.gone", 9.0}};
  for (const char* query : {"", "   ", "\t \xE2\x80\x83"}) {
    const auto matches = matcher.search(query, usage, 9);
    // Equal usage: plain code-point order, so capitals first.
    EXPECT_THAT(namesOf(matches), ElementsAre("Gamma", "Alpha", "beta", "")) << query;
    for (const Match& match : matches) EXPECT_EQ(match.tier, MatchTier::exact);
    EXPECT_EQ(matches[0].nameLength, 5);
    EXPECT_EQ(matches[3].nameLength, 0);
  }
  EXPECT_THAT(matcher.search("  ", {}, 9), IsEmpty());
}

TEST(Matcher, AppliesTheLimitAfterOrdering) {
  std::vector<AppEntry> entries;
  for (int i = 20; i >= 1; --i) entries.push_back(app("Item " + std::to_string(i)));
  const Matcher matcher(std::move(entries));
  EXPECT_THAT(namesOf(matcher.search("item", {}, 9)),
              ElementsAre("Item 1", "Item 2", "Item 3", "Item 4", "Item 5", "Item 6", "Item 7",
                          "Item 8", "Item 9"));
  EXPECT_THAT(matcher.search("item", {}, 0), IsEmpty());
  EXPECT_EQ(matcher.search("item", {}, 100).size(), 20U);

  UsageScores usage;
  for (int i = 1; i <= 20; ++i) usage["id.Item " + std::to_string(i)] = i;
  EXPECT_THAT(namesOf(matcher.search("", usage, 3)), ElementsAre("Item 20", "Item 19", "Item 18"));
}

TEST(Matcher, UsageDecidesOnlyBeyondTheLimitBoundary) {
  // Many equal-length matches: the one with usage must win even though it comes last.
  std::vector<AppEntry> entries;
  entries.reserve(52);
  for (int i = 0; i < 50; ++i) {
    entries.push_back(
        app("Tab" + std::string(1, static_cast<char>('a' + i % 26)) + std::to_string(i % 10)));
  }
  entries.push_back(app("Tabz9 Extra"));
  entries.push_back(app("Tabzz"));
  const Matcher matcher(std::move(entries));
  const auto matches = matcher.search("tab", {{"id.Tabzz", 0.5}}, 3);
  ASSERT_EQ(matches.size(), 3U);
  EXPECT_EQ(matches[0].entry.displayName(), "Tabzz");
}

TEST(Matcher, SkipsEntriesWithoutNamesAndSurvivesOddInput) {
  const Matcher matcher({AppEntry("x", "/x.app", ""), app("Xylophone")});
  EXPECT_THAT(namesOf(matcher.search("x", {}, 9)), ElementsAre("Xylophone"));
  EXPECT_THAT(matcher.search("\xFF\xFE", {}, 9), IsEmpty());
  EXPECT_THAT(matcher.search("\xCC\x81 \xCC\x81", {}, 9), IsEmpty());  // folds to a lone space
  EXPECT_THAT(Matcher().search("a", {}, 9), IsEmpty());
}

TEST(Matcher, MatchesCharactersOfSeveralScalarsOnlyWhole) {
  const Matcher matcher({app("👍🏽 Like")});  // thumbs up with a skin tone: one character
  EXPECT_EQ(matcher.search("👍🏽", {}, 9).at(0).tier, MatchTier::prefix);
  EXPECT_THAT(matcher.search("👍", {}, 9), IsEmpty());
  EXPECT_THAT(matcher.search("👎🏽", {}, 9), IsEmpty());  // a character no name has
}

TEST(Matcher, CountsNotANumberAsNoUsage) {
  const Matcher matcher({app("Alpha"), app("Alps")});
  const auto matches = matcher.search("al", {{"id.Alpha", std::nan("")}}, 9);
  EXPECT_THAT(namesOf(matches), ElementsAre("Alps", "Alpha"));
  EXPECT_THAT(matcher.search("", {{"id.Alpha", std::nan("")}}, 9), IsEmpty());
}

}  // namespace
}  // namespace jolstrand
