#include "jolstrand/collation.hpp"

#include <gtest/gtest.h>

namespace jolstrand {
namespace {

// The test runs with LC_ALL=en_US.UTF-8 (set by CTest).

TEST(LocalizedStandardLess, OrdersDigitRunsByValue) {
  EXPECT_TRUE(localizedStandardLess("Tool 2", "Tool 10"));
  EXPECT_FALSE(localizedStandardLess("Tool 10", "Tool 2"));
  EXPECT_TRUE(localizedStandardLess("file9.txt", "file10.txt"));
}

TEST(LocalizedStandardLess, TreatsCaseAndAccentsAsLesserDifferences) {
  EXPECT_TRUE(localizedStandardLess("apple", "Banana"));
  EXPECT_TRUE(localizedStandardLess("Apple", "banana"));
  EXPECT_TRUE(localizedStandardLess("éclair", "f"));
  EXPECT_FALSE(localizedStandardLess("same", "same"));
}

TEST(LocalizedSortKey, AgreesWithTheComparison) {
  const char* names[] = {"Tool 10", "Tool 2", "apple", "Banana",
                         "éclair",  "Zebra",  "zebra", "\xFF invalid"};
  for (const char* a : names) {
    for (const char* b : names) {
      EXPECT_EQ(localizedSortKey(a) < localizedSortKey(b), localizedStandardLess(a, b))
          << a << " / " << b;
    }
  }
}

}  // namespace
}  // namespace jolstrand
