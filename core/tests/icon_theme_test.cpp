// Icons found by the icon theme rules, in fixture themes and in the real themes the bootstrap
// script installs.

#include "jolstrand/icon_theme.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "fixture_tree.hpp"

namespace jolstrand {
namespace {

using ::testing::ElementsAre;

// A theme's index.theme: its [Icon Theme] group, then one group per folder.
std::string index(const std::string& inherits, const std::vector<std::string>& folders) {
  std::string text = "[Icon Theme]\nName=Fixture\nInherits=" + inherits + "\nDirectories=";
  std::string groups;
  for (std::size_t i = 0; i < folders.size(); ++i) {
    const std::string path = folders[i].substr(0, folders[i].find(' '));
    text += (i > 0 ? "," : "") + path;
    groups += "\n[" + path + "]\n" + folders[i].substr(folders[i].find(' ') + 1) + "\n";
  }
  return text + "\n" + groups;
}

class IconThemes : public ::testing::Test {
 protected:
  void SetUp() override {
    // Ocean: a scalable folder for 16 to 256 and a 32 folder of another context; it inherits
    // Sand (whose index is in the user's folder), which inherits Ocean again and hicolor.
    tree.file("share/icons/Ocean/index.theme",
              index("Sand,hicolor",
                    {"scalable/apps Size=48\nType=Scalable\nMinSize=16\nMaxSize=256",
                     "32/devices Size=32\nType=Fixed", "48@2/apps Size=48\nScale=2\nType=Fixed"}));
    tree.file("share/icons/Ocean/scalable/apps/tool.svg", "<svg/>");
    tree.file("share/icons/Ocean/32/devices/drive.png");
    tree.file("share/icons/Ocean/48@2/apps/sharp.png");
    tree.file("home/.icons/Sand/index.theme",
              index("Ocean", {"22/apps Size=22", "64/apps Size=64\nType=Fixed"}));
    tree.file("share/icons/Sand/22/apps/sand.png");  // the index is in another folder
    tree.file("share/icons/Sand/64/apps/sand.png");
    tree.file("share/icons/hicolor/index.theme",
              index("", {"16x16/apps Size=16\nType=Fixed", "64x64/apps Size=64\nType=Fixed"}));
    tree.file("share/icons/hicolor/16x16/apps/tool.png");
    tree.file("share/icons/hicolor/64x64/apps/tool.png");
    tree.file("share/icons/hicolor/64x64/apps/only.xpm");
    tree.file("share/icons/NoIndex/16x16/apps/tool.png");
    tree.file("share/pixmaps/legacy.png");
  }
  IconTheme theme(const std::string& name) const {
    return IconTheme(IconTheme::folders(tree.path("home"), "", tree.path("share")), name);
  }
  std::string at(const std::string& relative) const { return tree.path(relative); }

  testing::FixtureTree tree;
};

TEST_F(IconThemes, FollowTheIndexesAndTheInheritanceThenPixmaps) {
  EXPECT_THAT(theme("Ocean").chain(), ElementsAre("Ocean", "Sand", "hicolor"));
  EXPECT_THAT(theme("NoIndex").chain(), ElementsAre("hicolor"));
  EXPECT_THAT(theme("../Ocean").chain(), ElementsAre("hicolor"));
  const IconTheme ocean = theme("Ocean");
  const std::pair<std::pair<const char*, int>, std::string> cases[] = {
      {{"tool", 64}, "share/icons/Ocean/scalable/apps/tool.svg"},
      {{"tool.png", 300}, "share/icons/Ocean/scalable/apps/tool.svg"},  // nearest: 256
      {{"drive", 32}, "share/icons/Ocean/32/devices/drive.png"},        // every context
      {{"drive", 28}, "share/icons/Ocean/32/devices/drive.png"},        // nearest
      {{"sharp", 96}, "share/icons/Ocean/48@2/apps/sharp.png"},         // 48 at scale 2
      {{"sand", 22}, "share/icons/Sand/22/apps/sand.png"},              // Threshold: 20 to 24
      {{"sand", 24}, "share/icons/Sand/22/apps/sand.png"},
      {{"sand", 60}, "share/icons/Sand/64/apps/sand.png"},
      {{"only", 16}, "share/icons/hicolor/64x64/apps/only.xpm"},
      {{"legacy", 64}, "share/pixmaps/legacy.png"},
  };
  for (const auto& [asked, file] : cases) {
    EXPECT_EQ(ocean.find(asked.first, asked.second), at(file))
        << asked.first << " " << asked.second;
  }
  EXPECT_EQ(theme("hicolor").find("tool", 12), at("share/icons/hicolor/16x16/apps/tool.png"));
  EXPECT_EQ(theme("NoIndex").find("tool", 64), at("share/icons/hicolor/64x64/apps/tool.png"));
  EXPECT_EQ(ocean.find(at("share/pixmaps/legacy.png"), 64), at("share/pixmaps/legacy.png"));
  for (const std::string missing :
       {"missing", "", "../hicolor/64x64/apps/tool", "/nonexistent.png"}) {
    EXPECT_EQ(ocean.find(missing, 64), "") << missing;
  }
}

TEST_F(IconThemes, TakeTheDesktopsChoice) {
  tree.file("config/kdeglobals", "[General]\nName=x\n[Icons]\nTheme=Papirus\n");
  EXPECT_EQ(desktopIconTheme("KDE", tree.path("config"), "Adwaita"), "Papirus");
  EXPECT_EQ(desktopIconTheme("KDE", tree.path("nothing"), "Adwaita"), "breeze");
  EXPECT_EQ(desktopIconTheme("XFCE", tree.path("config"), "Adwaita"), "Adwaita");
  EXPECT_EQ(desktopIconTheme("", tree.path("config"), ""), "hicolor");
}

// How many of the corpus's icons each real theme draws at a row's size (28 pixels): the lookup
// must know each theme's layout (breeze keeps apps/48, Papirus 48x48/apps) and inheritance.
TEST(RealIconThemes, DrawMostOfTheCorpussIcons) {
  std::vector<std::string> icons;
  for (const auto& file :
       std::filesystem::directory_iterator(JOLSTRAND_DESKTOP_CORPUS "/applications")) {
    std::ifstream in(file.path());
    for (std::string line; std::getline(in, line);) {
      if (line.starts_with("Icon=")) icons.push_back(line.substr(5));
    }
  }
  const std::map<std::string, std::size_t> least = {
      {"Adwaita", 10}, {"breeze", 40}, {"Papirus", 105}, {"hicolor", 0}};
  for (const auto& [name, count] : least) {
    if (!std::filesystem::exists("/usr/share/icons/" + name + "/index.theme")) {
      GTEST_SKIP() << name << " is not installed (scripts/bootstrap.sh installs it)";
    }
    const IconTheme theme(IconTheme::folders("/nonexistent", "/nonexistent", "/usr/share"), name);
    std::size_t found = 0;
    for (const std::string& icon : icons) found += !theme.find(icon, 28).empty();
    ::testing::Test::RecordProperty(name, static_cast<int>(found));
    EXPECT_GE(found, count) << name;
  }
}

}  // namespace
}  // namespace jolstrand
