#include "spotlight_shortcut.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "fixture_tree.hpp"
#include "platform/spotlight_check.hpp"

namespace jolstrand {
namespace {

using Value = PropertyListValue;

// AppleSymbolicHotKeys with entry "64" made of the given members.
Value hotKeys(Value::Dictionary entry) {
  return {Value::Dictionary{{"64", {std::move(entry)}}}};
}

Value parameters(const std::vector<std::int64_t>& numbers) {
  Value::Array array;
  for (const std::int64_t number : numbers) array.push_back({number});
  return {Value::Dictionary{{"parameters", {std::move(array)}}}};
}

TEST(SpotlightShortcut, FollowsTheDecisionTable) {
  using SpotlightShortcut::holdsCommandSpace;
  EXPECT_TRUE(holdsCommandSpace(std::nullopt));
  EXPECT_TRUE(holdsCommandSpace(Value{std::string("not a dictionary")}));
  EXPECT_TRUE(holdsCommandSpace(Value{Value::Dictionary{}}));
  EXPECT_FALSE(
      holdsCommandSpace(hotKeys({{"enabled", {false}}, {"value", parameters({32, 49, 1048576})}})));
  EXPECT_FALSE(holdsCommandSpace(hotKeys({{"enabled", {std::int64_t{0}}}})));
  EXPECT_TRUE(
      holdsCommandSpace(hotKeys({{"enabled", {true}}, {"value", parameters({32, 49, 1048576})}})));
  EXPECT_FALSE(holdsCommandSpace(
      hotKeys({{"enabled", {true}}, {"value", parameters({32, 49, 1048576 + 524288})}})));
  EXPECT_FALSE(holdsCommandSpace(
      hotKeys({{"enabled", {true}}, {"value", parameters({65535, 3, 1048576})}})));
  EXPECT_TRUE(holdsCommandSpace(hotKeys({{"value", parameters({32, 49, 1048576})}})));
  EXPECT_TRUE(holdsCommandSpace(
      hotKeys({{"enabled", {std::string("no")}}, {"value", parameters({32, 49, 1048576})}})));
  EXPECT_TRUE(holdsCommandSpace(hotKeys({{"enabled", {true}}, {"value", parameters({32, 49})}})));
  EXPECT_TRUE(holdsCommandSpace(hotKeys({{"enabled", {true}}})));
  Value::Array mixed{{std::int64_t{32}}, {std::string("49")}, {std::int64_t{1048576}}};
  EXPECT_TRUE(
      holdsCommandSpace(hotKeys({{"value", {Value::Dictionary{{"parameters", {mixed}}}}}})));
}

TEST(SpotlightShortcut, IsFreeOnLinuxUnlessTheStandInFileSaysOtherwise) {
  testing::FixtureTree tree;
  const auto check = makeSpotlightCheck(tree.path("config"), "KDE");
  EXPECT_FALSE(check->holdsCommandSpace());
  tree.file("config/Jolstrand/symbolichotkeys.plist",
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>AppleSymbolicHotKeys</key>"
            "<dict><key>64</key><dict><key>enabled</key><true/><key>value</key><dict>"
            "<key>parameters</key><array><integer>32</integer><integer>49</integer>"
            "<integer>1048576</integer></array></dict></dict></dict></dict></plist>");
  EXPECT_TRUE(check->holdsCommandSpace());
  tree.file("config/Jolstrand/symbolichotkeys.plist", "garbage");
  EXPECT_TRUE(check->holdsCommandSpace());
}

}  // namespace
}  // namespace jolstrand
