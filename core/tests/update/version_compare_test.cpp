#include "jolstrand/update/version_compare.hpp"

#include <gtest/gtest.h>

#include <string>

namespace jolstrand {
namespace {

struct Row {
  const char* older;
  const char* newer;
};

TEST(CompareVersions, OrdersNewerAfterOlderBothWays) {
  constexpr Row rows[] = {
      {"1.9", "1.10"},
      {"1", "2"},
      {"9", "10"},
      {"1.2", "1.2.1"},
      {"0.9.9", "1"},
      {"2.0b1", "2.0"},
      {"2.0-rc", "2"},
      {"2.0b9", "2.0b10"},
      {"2.0a2", "2.0b1"},
      {"1.beta", "1.0"},
      {"", "1"},
      {"1.0", "1.0.0.1"},
      {"99999999999999999999", "100000000000000000000"},
      {"1.2", "01.3"},
      {"a", "0"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(compareVersions(row.older, row.newer), std::strong_ordering::less)
        << row.older << " < " << row.newer;
    EXPECT_EQ(compareVersions(row.newer, row.older), std::strong_ordering::greater)
        << row.newer << " > " << row.older;
  }
}

TEST(CompareVersions, TreatsMissingSegmentsAndLeadingZerosAsEqual) {
  constexpr Row rows[] = {{"2", "2.0"}, {"2", "2.0.0"},      {"1.02", "1.2"},
                          {"", "0"},    {"1.", "1"},         {"1..2", "1.0.2"},
                          {"007", "7"}, {"2.0b1", "2.0b01"}, {"1.2", "1.2"}};
  for (const Row& row : rows) {
    EXPECT_EQ(compareVersions(row.older, row.newer), std::strong_ordering::equal)
        << row.older << " == " << row.newer;
    EXPECT_EQ(compareVersions(row.newer, row.older), std::strong_ordering::equal);
  }
}

TEST(CompareVersions, OrdersOddTextWithoutFailing) {
  // Bytes of every kind, white space included (it is not trimmed and counts as a suffix).
  EXPECT_EQ(compareVersions(" 1", "1"), std::strong_ordering::less);
  EXPECT_EQ(compareVersions("1 ", "1"), std::strong_ordering::less);
  EXPECT_EQ(compareVersions(std::string("1\0", 2), "1"), std::strong_ordering::less);
  EXPECT_EQ(compareVersions("\xff", "\xfe"), std::strong_ordering::greater);
  EXPECT_EQ(compareVersions("...", ""), std::strong_ordering::equal);
}

}  // namespace
}  // namespace jolstrand
