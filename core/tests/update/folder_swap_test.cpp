#include "jolstrand/update/folder_swap.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>

#include "folder_contents.hpp"
#include "without_privilege.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Optional;
using ::testing::UnorderedElementsAre;
using Method = FolderSwap::Method;

using testing::fileContents;
using testing::namesIn;

// An installation of build 10 and, beside it, a staged build 11; each folder holds a file
// "version" that tells them apart.
class SwapFolders : public ::testing::TestWithParam<Method> {
 protected:
  void SetUp() override {
    static int counter = 0;
    root = fs::temp_directory_path() /
           ("folder_swap_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    makeVersion(installation(), "10");
    makeVersion(staging(), "11");
    swap = {.installation = installation().string(),
            .staging = staging().string(),
            .infoPlist = "Contents/Info.plist",
            .expectedBuild = "11",
            .runningBuild = "10",
            .method = GetParam(),
            .isInstallation = [](const std::string& folder) {
              return fs::exists(fs::path(folder) / "Contents" / "Info.plist");
            }};
  }
  void TearDown() override { fs::remove_all(root); }

  static void makeVersion(const fs::path& folder, const std::string& build) {
    fs::create_directories(folder / "Contents");
    writePlist(folder / "Contents" / "Info.plist",
               "<key>CFBundleVersion</key><string>" + build + "</string>");
    std::ofstream(folder / "version") << build;
  }
  static void writePlist(const fs::path& path, const std::string& body) {
    std::ofstream(path) << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        << "<plist version=\"1.0\"><dict>" << body << "</dict></plist>\n";
  }

  fs::path installation() const { return root / "Jolstrand"; }
  fs::path staging() const { return root / "Jolstrand.staging"; }
  fs::path old() const { return root / "Jolstrand.old-10"; }

  void expectUntouched() {
    EXPECT_EQ(fileContents(installation() / "version"), "10");
    EXPECT_EQ(fileContents(staging() / "version"), "11");
    EXPECT_FALSE(fs::exists(old()) && fs::exists(old() / "version"));
  }

  fs::path root;
  FolderSwap swap;
};

TEST_P(SwapFolders, PutsTheStagedBuildInPlaceAndKeepsTheOld) {
  ASSERT_EQ(swapFolders(swap), std::nullopt);
  EXPECT_EQ(fileContents(installation() / "version"), "11");
  EXPECT_EQ(fileContents(old() / "version"), "10");
  EXPECT_THAT(namesIn(root), UnorderedElementsAre("Jolstrand", "Jolstrand.old-10"));
}

TEST_P(SwapFolders, AcceptsTrailingSlashesAndReplacesALeftoverOldFolder) {
  makeVersion(old(), "9");
  fs::create_directories(old() / "leftover");
  swap.installation += "/";
  swap.staging += "/";
  swap.expectedBuild = "11.0";
  ASSERT_EQ(swapFolders(swap), std::nullopt);
  EXPECT_EQ(fileContents(installation() / "version"), "11");
  EXPECT_THAT(namesIn(old()), UnorderedElementsAre("Contents", "version"));
}

// The unpacker makes read-only folders where the archive has them, which an old installation then
// holds. Run as root, the folders go to nobody, who swaps from a child process: root would remove
// them whatever their modes.
TEST_P(SwapFolders, ReplacesALeftoverOldFolderThatHoldsReadOnlyFolders) {
  makeVersion(old(), "9");
  fs::create_directories(old() / "closed");
  std::ofstream(old() / "closed" / "inside") << "x";
  fs::permissions(old() / "closed", fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(testing::answerWithoutPrivilege(
                root, [this] { return swapFolders(swap).value_or("swapped"); }),
            "swapped");
  EXPECT_EQ(fileContents(installation() / "version"), "11");
  EXPECT_THAT(namesIn(old()), UnorderedElementsAre("Contents", "version"));
}

TEST_P(SwapFolders, RefusesAStagedTreeThatIsNotTheExpectedBuild) {
  swap.expectedBuild = "12";
  EXPECT_THAT(swapFolders(swap), Optional(HasSubstr("reports build 11, not 12")));
  expectUntouched();

  writePlist(staging() / "Contents" / "Info.plist",
             "<key>CFBundleVersion</key><integer>11</integer>");
  swap.expectedBuild = "11";
  EXPECT_THAT(swapFolders(swap), Optional(HasSubstr("no CFBundleVersion")));
  fs::remove(staging() / "Contents" / "Info.plist");
  EXPECT_THAT(swapFolders(swap), Optional(HasSubstr("not a readable property list")));
  expectUntouched();
}

TEST_P(SwapFolders, RefusesFoldersThatAreNotWhereTheyShouldBe) {
  FolderSwap elsewhere = swap;
  fs::create_directories(root / "sub");
  fs::rename(staging(), root / "sub" / "staging");
  elsewhere.staging = (root / "sub" / "staging").string();
  EXPECT_THAT(swapFolders(elsewhere), Optional(HasSubstr("is not beside")));
  fs::rename(root / "sub" / "staging", staging());

  FolderSwap badBuild = swap;
  badBuild.runningBuild = "../10";
  EXPECT_THAT(swapFolders(badBuild), Optional(HasSubstr("cannot name a folder")));
  FolderSwap missing = swap;
  missing.installation = (root / "Missing").string();
  EXPECT_THAT(swapFolders(missing), Optional(HasSubstr("is not a folder")));
  FolderSwap same = swap;
  same.staging = swap.installation;
  EXPECT_THAT(swapFolders(same), Optional(HasSubstr("the installation itself")));
  fs::create_directory_symlink(staging(), root / "link");
  FolderSwap link = swap;
  link.staging = (root / "link").string();
  EXPECT_THAT(swapFolders(link), Optional(HasSubstr("is not a folder")));
  fs::remove(root / "link");
  expectUntouched();
}

// A folder of the old folder's name that is not an old installation may hold anything of the
// user's: the swap is refused rather than removing it.
TEST_P(SwapFolders, LeavesAFolderInTheOldFoldersPlaceThatIsNotAnInstallation) {
  fs::create_directories(old());
  std::ofstream(old() / "notes.txt") << "mine";
  EXPECT_THAT(swapFolders(swap),
              Optional(HasSubstr("is in the way and is not an old installation")));
  EXPECT_EQ(fileContents(old() / "notes.txt"), "mine");
  expectUntouched();
  swap.isInstallation = {};
  makeVersion(old(), "9");
  EXPECT_THAT(swapFolders(swap), Optional(HasSubstr("is in the way")));
  EXPECT_EQ(fileContents(old() / "notes.txt"), "mine");
}

TEST_P(SwapFolders, UndoesTheFirstStepWhenTheSecondFails) {
  if (GetParam() != Method::twoRenames) {
    // The old installation, now at the staging path, cannot be renamed over a full folder.
    swap.betweenSteps = [&] { fs::create_directories(old() / "in the way"); };
  } else {
    // The staged tree has gone, so it cannot be moved into place.
    swap.betweenSteps = [&] { fs::rename(staging(), root / "moved away"); };
  }
  EXPECT_THAT(swapFolders(swap), Optional(HasSubstr("couldn't move")));
  EXPECT_EQ(fileContents(installation() / "version"), "10");
  EXPECT_THAT(fileContents(installation() / "Contents" / "Info.plist"), HasSubstr(">10<"));
  if (GetParam() != Method::twoRenames) {
    EXPECT_EQ(fileContents(staging() / "version"), "11");
  }
}

// Between two renames there is no installation at all, and a kill there would leave none: where
// the file system cannot exchange (NFS, CIFS, FUSE), nothing moves.
TEST_P(SwapFolders, MovesNothingWhereTheFileSystemCannotExchange) {
  const ExchangeFolders unavailable = [](const char*, const char*) { return EINVAL; };
  const auto refused = swapFolders(swap, unavailable);
  if (GetParam() != Method::exchangeOnly) return;
  EXPECT_THAT(refused, Optional(HasSubstr("cannot swap two folders in one step")));
  expectUntouched();
  EXPECT_FALSE(fs::exists(old()));
  EXPECT_EQ(exchangeUnavailableIn(root.string()), std::nullopt);
  EXPECT_THAT(namesIn(root), UnorderedElementsAre("Jolstrand", "Jolstrand.staging"));
}

INSTANTIATE_TEST_SUITE_P(EveryMethod, SwapFolders,
                         ::testing::Values(Method::exchangeOnly, Method::exchangeWhereAvailable,
                                           Method::twoRenames),
                         [](const ::testing::TestParamInfo<Method>& method) {
                           switch (method.param) {
                             case Method::exchangeOnly:
                               return "ExchangeOnly";
                             case Method::exchangeWhereAvailable:
                               return "Exchange";
                             case Method::twoRenames:
                               return "TwoRenames";
                           }
                           return "";
                         });

// Only what an update left is removed: an old installation, as the caller recognises it (here by
// a marker file reached without links). A folder of the same name that is not one, or is reached
// through a link, may hold anything.
TEST(RemoveOldInstallations, RemovesOnlyTheOldInstallationsOfThatInstallation) {
  const fs::path root = fs::temp_directory_path() / ("old_folders_" + std::to_string(getpid()));
  const IsInstallation holdsMarker = [](const std::string& folder) {
    std::error_code error;
    const fs::path contents = fs::path(folder) / "Contents";
    return fs::symlink_status(contents, error).type() == fs::file_type::directory &&
           fs::symlink_status(contents / "layout", error).type() == fs::file_type::regular;
  };
  for (const char* name :
       {"Jolstrand/Contents", "Jolstrand.old-9/Contents", "Jolstrand.old-10/Contents/inner",
        "Jolstrand.old-data/Contents", "Jolstrand.old-linked/Contents",
        "Jolstrand.staging/Contents", "Other.old-1/Contents", "elsewhere/Contents"}) {
    fs::create_directories(root / name);
    std::ofstream(root / *fs::path(name).begin() / "Contents" / "layout");
  }
  fs::remove(root / "Jolstrand.old-data" / "Contents" / "layout");
  fs::remove_all(root / "Jolstrand.old-linked" / "Contents");
  fs::create_directory_symlink(root / "elsewhere" / "Contents",
                               root / "Jolstrand.old-linked" / "Contents");
  fs::create_directory_symlink(root / "elsewhere", root / "Jolstrand.old-link");
  const std::string installation = (root / "Jolstrand").string();

  EXPECT_EQ(removeOldInstallations(installation, holdsMarker), std::nullopt);
  EXPECT_THAT(namesIn(root), UnorderedElementsAre("Jolstrand", "Jolstrand.old-data",
                                                  "Jolstrand.old-linked", "Jolstrand.old-link",
                                                  "Jolstrand.staging", "Other.old-1", "elsewhere"));
  EXPECT_TRUE(fs::exists(root / "elsewhere" / "Contents" / "layout"));
  EXPECT_EQ(removeOldInstallations(installation, holdsMarker), std::nullopt);
  fs::remove_all(root);
  EXPECT_THAT(removeOldInstallations(installation, holdsMarker),
              Optional(HasSubstr("couldn't list")));
}

}  // namespace
}  // namespace jolstrand
