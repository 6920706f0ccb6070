// The program's own Info.plist: reading keys from property-list bytes, and the one compiled in.

#include "program_info.hpp"

#include <gtest/gtest.h>

#include "info_plist_writer.hpp"

namespace jolstrand {
namespace {

std::string xmlPlist(const std::string& entries) {
  return R"(<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><dict>)" + entries +
         "</dict></plist>";
}

TEST(ProgramInfo, ReadsTextValues) {
  const ProgramInfo info(
      xmlPlist("<key>CFBundleIdentifier</key><string>org.example.A</string>"
               "<key>JolstrandUpdateFeed</key><string></string>"));
  EXPECT_EQ(info.value("CFBundleIdentifier"), "org.example.A");
  EXPECT_EQ(info.value("JolstrandUpdateFeed"), "");
}

TEST(ProgramInfo, ReadsABinaryPropertyList) {
  const ProgramInfo info(
      tools::infoPlistBytes({.identifier = "org.example.B", .name = "B", .binary = true}));
  EXPECT_EQ(info.value("CFBundleIdentifier"), "org.example.B");
  EXPECT_EQ(info.value("CFBundleName"), "B");
}

TEST(ProgramInfo, MissingKeysAreAbsent) {
  const ProgramInfo info(xmlPlist("<key>CFBundleName</key><string>A</string>"));
  EXPECT_EQ(info.value("CFBundleVersion"), std::nullopt);
  EXPECT_EQ(info.value("SUPublicEDKey"), std::nullopt);
  EXPECT_EQ(info.value(""), std::nullopt);
}

TEST(ProgramInfo, ValuesThatAreNotTextAreAbsent) {
  const ProgramInfo info(
      xmlPlist("<key>CFBundleVersion</key><integer>42</integer>"
               "<key>JolstrandUpdateFeed</key><real>1.5</real>"
               "<key>LSUIElement</key><true/>"
               "<key>SUPublicEDKey</key><data>AAEC</data>"
               "<key>CFBundleName</key><array><string>A</string></array>"
               "<key>NSHumanReadableCopyright</key><dict/>"));
  for (const char* key : {"CFBundleVersion", "JolstrandUpdateFeed", "LSUIElement", "SUPublicEDKey",
                          "CFBundleName", "NSHumanReadableCopyright"}) {
    EXPECT_EQ(info.value(key), std::nullopt) << key;
  }
}

TEST(ProgramInfo, AnythingButADictionaryHasNoKeys) {
  const std::string arrayOfText =
      R"(<?xml version="1.0"?><plist version="1.0"><array><string>CFBundleName</string>)"
      "</array></plist>";
  for (const std::string& bytes : {std::string(), std::string("not a property list"), arrayOfText,
                                   xmlPlist("<key>CFBundleName</key>").substr(0, 50),
                                   std::string("bplist00\xff\xff\xff", 11)}) {
    EXPECT_EQ(ProgramInfo(bytes).value("CFBundleName"), std::nullopt) << bytes;
  }
}

// On macOS the main bundle of a test program is its folder, which has no Info.plist.
#ifndef __APPLE__
TEST(ProgramInfo, OwnIsTheInfoPlistThisBuildGenerated) {
  const ProgramInfo& own = ProgramInfo::own();
  EXPECT_EQ(own.value("CFBundleIdentifier"), JOLSTRAND_BUNDLE_IDENTIFIER);
  EXPECT_EQ(own.value("CFBundleName"), "Jolstrand");
  EXPECT_EQ(own.value("CFBundleExecutable"), "jolstrand");
  EXPECT_EQ(own.value("CFBundleShortVersionString"), JOLSTRAND_VERSION);
  EXPECT_EQ(own.value("CFBundleVersion"), JOLSTRAND_BUILD_NUMBER);
  EXPECT_EQ(own.value("JolstrandUpdateFeed"), JOLSTRAND_UPDATE_FEED);
  EXPECT_EQ(own.value("SUPublicEDKey"), JOLSTRAND_PUBLIC_ED_KEY);
  EXPECT_NE(own.value("NSHumanReadableCopyright").value_or(""), "");
  EXPECT_EQ(own.value("LSUIElement"), std::nullopt);  // a boolean, not text
  EXPECT_EQ(&own, &ProgramInfo::own());
}
#endif

}  // namespace
}  // namespace jolstrand
