#include "jolstrand/file_access.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixture_tree.hpp"
#include "jolstrand/property_list.hpp"
#include "named_pipe.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;
namespace fs = std::filesystem;

TEST(RegularFile, IsReadWholeOrSaysWhyNot) {
  testing::FixtureTree tree;
  const std::string small = tree.file("small", "abc");
  EXPECT_EQ(readRegularFile(small, 3).bytes, "abc");
  const std::pair<std::string, std::string> refusals[] = {
      {small, small + " is larger than 2 bytes"},
      {tree.path("missing"), tree.path("missing") + ": No such file or directory"},
      {tree.folder("folder"), tree.path("folder") + " is not a regular file"},
      {testing::makeNamedPipe(tree.path("pipe")), tree.path("pipe") + " is not a regular file"},
  };
  for (const auto& [path, error] : refusals) {
    const FileContents read = readRegularFile(path, 2);
    EXPECT_FALSE(read.bytes.has_value()) << path;
    EXPECT_EQ(read.error, error);
  }
}

TEST(RegularFile, IsReplacedThroughALinkThatStaysALink) {
  testing::FixtureTree tree;
  const std::string target = tree.file("target", "old");
  const std::string link = tree.link("link", target);
  EXPECT_EQ(writeFileAtomically(link, "new"), std::nullopt);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(readRegularFile(target, 10).bytes, "new");
  EXPECT_EQ(writeFileAtomically(tree.path("fresh"), "made"), std::nullopt);
  EXPECT_EQ(readRegularFile(tree.path("fresh"), 10).bytes, "made");
}

TEST(PropertyListFile, ReadsANamedPipeAsNothingWithoutWaitingOnIt) {
  testing::FixtureTree tree;
  const std::string pipe = testing::makeNamedPipe(tree.path("symbolichotkeys.plist"));
  std::optional<PropertyListValue> read;
  EXPECT_TRUE(testing::finishesWithoutWaitingOn(pipe, [&] { read = readPropertyListFile(pipe); }));
  EXPECT_FALSE(read.has_value());
}

}  // namespace
}  // namespace jolstrand
