#include "update/archive_support.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace jolstrand::detail {
namespace {

using ::testing::ElementsAre;

constexpr int archiveOk = 0;      // ARCHIVE_OK
constexpr int archiveWarn = -20;  // ARCHIVE_WARN: an external program would decode

// The readers each stand-in was called on.
std::vector<archive*> builtInCalls;
std::vector<archive*> externalCalls;

int builtIn(archive* reader) {
  builtInCalls.push_back(reader);
  return archiveOk;
}

int external(archive* reader) {
  externalCalls.push_back(reader);
  return archiveWarn;
}

// A filter libarchive would decode by running a program is never offered on the real reader,
// though asking about it on a reader of its own was needed to find that out.
TEST(AddBuiltInSupport, MakesOnTheReaderOnlyTheSupportsThatAnswerOk) {
  int fakeReader = 0;
  archive* const reader = reinterpret_cast<archive*>(&fakeReader);
  const ReaderSupport supports[] = {external, builtIn};
  addBuiltInSupport(reader, supports);
  ASSERT_EQ(externalCalls.size(), 1u);
  EXPECT_NE(externalCalls[0], reader);
  ASSERT_EQ(builtInCalls.size(), 2u);
  EXPECT_NE(builtInCalls[0], reader);
  EXPECT_EQ(builtInCalls[1], reader);
}

}  // namespace
}  // namespace jolstrand::detail
