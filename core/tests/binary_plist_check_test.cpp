#include "binary_plist_check.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bundle_info.hpp"
#include "fixture_tree.hpp"

namespace jolstrand::detail {
namespace {

// A binary property list of arrays: object i holds references to the objects listed for it.
std::string arrays(const std::vector<std::vector<std::uint32_t>>& children) {
  std::string data = "bplist00";
  std::vector<std::uint32_t> offsets;
  const auto put32 = [&](std::uint64_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) data += static_cast<char>(value >> shift);
  };
  for (const auto& refs : children) {
    offsets.push_back(static_cast<std::uint32_t>(data.size()));
    data += static_cast<char>(0xA0 | refs.size());
    for (const std::uint32_t ref : refs) put32(ref);
  }
  const std::uint64_t table = data.size();
  for (const std::uint32_t offset : offsets) put32(offset);
  data += std::string(6, '\0') + '\x04' + '\x04';
  for (const std::uint64_t value : {std::uint64_t{children.size()}, std::uint64_t{0}, table}) {
    put32(value >> 32);
    put32(value & 0xFFFFFFFF);
  }
  return data;
}

TEST(BinaryPlistCheck, AcceptsRealInfoPlists) {
  const std::string bytes = testing::infoPlist(
      {.identifier = "com.example.x", .name = "X", .backgroundOnly = true, .binary = true});
  EXPECT_TRUE(isTameBinaryPlist(bytes));
  EXPECT_TRUE(isTameBinaryPlist(arrays({{1, 2}, {2}, {}})));  // shared, but small
}

TEST(BinaryPlistCheck, RefusesDeepNestingSharingBlowUpsAndCycles) {
  std::vector<std::vector<std::uint32_t>> deep(100'000);
  for (std::uint32_t i = 0; i + 1 < deep.size(); ++i) deep[i] = {i + 1};
  EXPECT_FALSE(isTameBinaryPlist(arrays(deep)));

  std::vector<std::vector<std::uint32_t>> doubling(40);
  for (std::uint32_t i = 0; i + 1 < doubling.size(); ++i) doubling[i] = {i + 1, i + 1};
  EXPECT_FALSE(isTameBinaryPlist(arrays(doubling)));

  EXPECT_FALSE(isTameBinaryPlist(arrays({{1}, {0}})));
  EXPECT_FALSE(isTameBinaryPlist(arrays({{0}})));
}

TEST(BinaryPlistCheck, RefusesEveryTruncationWithoutCrashing) {
  const std::string bytes = testing::infoPlist({.identifier = "com.example.x", .binary = true});
  for (std::size_t length = 0; length < bytes.size(); ++length) {
    (void)isTameBinaryPlist(bytes.substr(0, length));
    (void)parseInfoPlist(bytes.substr(0, length));
  }
  EXPECT_FALSE(isTameBinaryPlist(arrays({{5}})));  // a reference past the last object
}

TEST(BinaryPlistCheck, KeepsHostileFilesFromTheParser) {
  std::vector<std::vector<std::uint32_t>> deep(100'000);
  for (std::uint32_t i = 0; i + 1 < deep.size(); ++i) deep[i] = {i + 1};
  const BundleInfo info = parseInfoPlist(arrays(deep));  // would overflow the parser's stack
  EXPECT_FALSE(info.identifier.has_value());
}

}  // namespace
}  // namespace jolstrand::detail
