#include "jolstrand/collation.hpp"

#include <gtest/gtest.h>

namespace jolstrand {
namespace {

TEST(Collator, OrdersDigitRunsByValue) {
  const Collator english("en_US.UTF-8");
  EXPECT_TRUE(english.less("Tool 2", "Tool 10"));
  EXPECT_FALSE(english.less("Tool 10", "Tool 2"));
  EXPECT_TRUE(english.less("file9.txt", "file10.txt"));
}

TEST(Collator, TreatsCaseAndAccentsAsLesserDifferences) {
  const Collator english("en_US.UTF-8");
  EXPECT_TRUE(english.less("apple", "Banana"));
  EXPECT_TRUE(english.less("Apple", "banana"));
  EXPECT_TRUE(english.less("éclair", "f"));
  EXPECT_FALSE(english.less("same", "same"));
}

TEST(Collator, FollowsTheLocalesOwnAlphabet) {
  // Swedish puts "ä" after "z"; German sorts it with "a".
  const Collator swedish("sv_SE.UTF-8");
  const Collator german("de_DE@euro");
  EXPECT_TRUE(swedish.less("zebra", "äpple"));
  EXPECT_TRUE(german.less("äpple", "zebra"));
  EXPECT_TRUE(german.less("Äpfel", "Zange"));
}

TEST(Collator, UsesTheRootOrderForCPosixAndNoLocale) {
  const Collator root("");
  for (const char* locale : {"C", "POSIX", "C.UTF-8", "xx_NOWHERE"}) {
    const Collator collator(locale);
    for (const auto& [a, b] : {std::pair{"äpple", "zebra"}, std::pair{"Tool 2", "Tool 10"},
                               std::pair{"apple", "Banana"}}) {
      EXPECT_TRUE(collator.less(a, b)) << locale << ": " << a << " / " << b;
      EXPECT_EQ(collator.sortKey(a), root.sortKey(a)) << locale;
    }
  }
}

TEST(Collator, SortKeysAgreeWithTheComparison) {
  const char* names[] = {"Tool 10", "Tool 2", "apple", "Banana",
                         "éclair",  "Zebra",  "zebra", "\xFF invalid"};
  for (const char* locale : {"", "sv_SE", "de_DE"}) {
    const Collator collator(locale);
    for (const char* a : names) {
      for (const char* b : names) {
        EXPECT_EQ(collator.sortKey(a) < collator.sortKey(b), collator.less(a, b))
            << locale << ": " << a << " / " << b;
      }
    }
  }
}

TEST(LocalizedStandardLess, IsTheProcessCollatorsOrder) {
  // No locale named in the test program: the root collation.
  const Collator root("");
  EXPECT_TRUE(localizedStandardLess("Tool 2", "Tool 10"));
  EXPECT_EQ(localizedSortKey("äpple"), root.sortKey("äpple"));
}

}  // namespace
}  // namespace jolstrand
