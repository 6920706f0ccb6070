#include "jolstrand/update/safe_unpack.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "archive_writer.hpp"
#include "folder_contents.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Optional;
using ::testing::UnorderedElementsAre;
using Entry = testing::ArchiveEntry;
using Kind = Entry::Kind;

using testing::fileContents;
using testing::namesIn;

// A temporary folder holding the archive, the staging folder and a folder "outside" with one
// file that no archive may reach.
class SafeUnpack : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root = fs::temp_directory_path() /
           ("safe_unpack_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(root / "outside");
    std::ofstream(root / "outside" / "secret") << "secret";
  }
  void TearDown() override { fs::remove_all(root); }

  std::optional<std::string> unpack(const std::vector<Entry>& entries,
                                    const UnpackLimits& limits = {},
                                    testing::ArchiveFormat format = testing::ArchiveFormat::tarGz) {
    testing::writeArchive(archive(), entries, format);
    return unpackArchiveBytes(fileContents(archive()), staging(), limits);
  }

  // Only the archive and the untouched outside folder are left.
  void expectNothingWrittenOutside() {
    EXPECT_THAT(namesIn(root), UnorderedElementsAre("update.tar.gz", "outside"));
    EXPECT_THAT(namesIn(root / "outside"), UnorderedElementsAre("secret"));
    EXPECT_EQ(fileContents(root / "outside" / "secret"), "secret");
  }

  std::string archive() const { return (root / "update.tar.gz").string(); }
  std::string staging() const { return (root / "staging").string(); }
  std::string outside(std::string_view name) const { return (root / "outside" / name).string(); }

  fs::path root;
};

TEST_F(SafeUnpack, UnpacksAGoodArchiveWithModesAndInnerLinks) {
  const std::vector<Entry> entries = {
      {.name = "./Jolstrand/", .kind = Kind::folder, .mode = 0755},
      {.name = "./Jolstrand/bin/jolstrand", .contents = "#!/bin/sh\n", .mode = 0755},
      {.name = "Jolstrand/lib/libx.so.1", .contents = "library", .mode = 0644},
      {.name = "Jolstrand/lib/libx.so", .kind = Kind::symlink, .target = "libx.so.1"},
      {.name = "Jolstrand/bin/lib", .kind = Kind::symlink, .target = "../lib/"},
      {.name = "Jolstrand//share/./notes", .contents = "", .mode = 0600},
      {.name = "Jolstrand/share/caf\u00e9 \u65e5\u672c", .contents = "utf-8", .mode = 0644},
  };
  ASSERT_EQ(unpack(entries), std::nullopt);
  const fs::path app = fs::path(staging()) / "Jolstrand";
  EXPECT_EQ(fileContents(app / "bin" / "jolstrand"), "#!/bin/sh\n");
  EXPECT_EQ(fs::status(app / "bin" / "jolstrand").permissions() & fs::perms::owner_exec,
            fs::perms::owner_exec);
  EXPECT_EQ(fs::status(app / "lib" / "libx.so.1").permissions() & fs::perms::owner_exec,
            fs::perms::none);
  EXPECT_EQ(fs::read_symlink(app / "lib" / "libx.so"), "libx.so.1");
  EXPECT_EQ(fileContents(app / "bin" / "lib" / "libx.so"), "library");
  EXPECT_TRUE(fs::is_regular_file(app / "share" / "notes"));
  EXPECT_EQ(fileContents(app / "share" / "caf\u00e9 \u65e5\u672c"), "utf-8");
  EXPECT_THAT(namesIn(root), UnorderedElementsAre("update.tar.gz", "outside", "staging"));
}

// As CPack writes a portable archive: each install component's part names the folders it
// fills again, after files of an earlier part were written into them.
TEST_F(SafeUnpack, TakesAFolderNamedAgainWithTheLastModeGiven) {
  const std::vector<Entry> entries = {
      {.name = "Jolstrand/", .kind = Kind::folder, .mode = 0755},
      {.name = "Jolstrand/share/", .kind = Kind::folder, .mode = 0755},
      {.name = "Jolstrand/share/doc/README.md", .contents = "readme", .mode = 0644},
      {.name = "Jolstrand/share/", .kind = Kind::folder, .mode = 0700},
      {.name = "Jolstrand/share/doc/", .kind = Kind::folder, .mode = 0755},
      {.name = "Jolstrand/share/doc/LICENSE", .contents = "licence", .mode = 0644},
  };
  ASSERT_EQ(unpack(entries), std::nullopt);
  const fs::path share = fs::path(staging()) / "Jolstrand" / "share";
  EXPECT_THAT(namesIn(share / "doc"), UnorderedElementsAre("README.md", "LICENSE"));
  EXPECT_EQ(fileContents(share / "doc" / "LICENSE"), "licence");
  EXPECT_EQ(fs::status(share).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(SafeUnpack, ReadsOtherFormatsThanTar) {
  ASSERT_EQ(
      unpack({{.name = "a/run", .contents = "x", .mode = 0755}}, {}, testing::ArchiveFormat::zip),
      std::nullopt);
  EXPECT_EQ(fileContents(fs::path(staging()) / "a" / "run"), "x");
}

struct Hostile {
  const char* what;
  std::vector<Entry> entries;
  const char* refusal;
};

TEST_F(SafeUnpack, RefusesHostileArchivesAndWritesNothingOutside) {
  const std::string longName(256, 'n');
  std::string deepName;  // fine in an archive, but too long once below the staging folder
  for (int level = 0; level < 20; ++level) deepName += std::string(203, 'd') + "/";
  deepName += "file";
  const std::vector<Hostile> cases = {
      {"dot-dot", {{.name = "../outside/pwned", .contents = "x"}}, "climbs out"},
      {"inner dot-dot", {{.name = "a/../../outside/pwned", .contents = "x"}}, "climbs out"},
      {"absolute", {{.name = outside("pwned"), .contents = "x"}}, "absolute path"},
      {"link to / then a file through it",
       {{.name = "escape", .kind = Kind::symlink, .target = "/"},
        {.name = "escape" + outside("pwned"), .contents = "x"}},
       "points to an absolute path"},
      {"link out then a file through it",
       {{.name = "escape", .kind = Kind::symlink, .target = "../outside"},
        {.name = "escape/pwned", .contents = "x"}},
       "leaves the staging folder"},
      {"file through an inner link",
       {{.name = "sub/", .kind = Kind::folder, .mode = 0755},
        {.name = "in", .kind = Kind::symlink, .target = "sub"},
        {.name = "in/file", .contents = "x"}},
       "below a symbolic link"},
      {"chain of links that climbs",
       {{.name = "d/x", .kind = Kind::symlink, .target = ".."},
        {.name = "d/y", .kind = Kind::symlink, .target = "x/../../outside"}},
       "after going down"},
      {"hard link to a file outside, with data",
       {{.name = "h", .kind = Kind::hardlink, .contents = "pwned", .target = outside("secret")}},
       "hard link"},
      {"hard link to /etc/passwd",
       {{.name = "h", .kind = Kind::hardlink, .target = "/etc/passwd"}},
       "hard link"},
      {"inner hard link",
       {{.name = "a", .contents = "x"}, {.name = "b", .kind = Kind::hardlink, .target = "a"}},
       "hard link"},
      {"device node", {{.name = "null", .kind = Kind::characterDevice}}, "device file"},
      {"fifo", {{.name = "pipe", .kind = Kind::fifo}}, "FIFO"},
      {"setuid", {{.name = "run", .contents = "x", .mode = 04755}}, "setuid"},
      {"setgid folder", {{.name = "d/", .kind = Kind::folder, .mode = 02755}}, "setgid"},
      {"name twice",
       {{.name = "a", .contents = "1"}, {.name = "./a", .contents = "2"}},
       "appears twice"},
      {"folder named again as a file",
       {{.name = "a/", .kind = Kind::folder, .mode = 0755}, {.name = "a", .contents = "x"}},
       "appears twice"},
      {"file named again as a folder",
       {{.name = "a", .contents = "x"}, {.name = "a/", .kind = Kind::folder, .mode = 0755}},
       "appears twice"},
      {"folder named again as a link",
       {{.name = "a/", .kind = Kind::folder, .mode = 0755},
        {.name = "a", .kind = Kind::symlink, .target = "b"}},
       "appears twice"},
      {"control character", {{.name = "a\nb", .contents = "x"}}, "not valid text"},
      {"not UTF-8", {{.name = "a\xff", .contents = "x"}}, "not valid text"},
      {"long component", {{.name = "a/" + longName, .contents = "x"}}, "too long"},
      {"path too long below the staging folder",
       {{.name = deepName, .contents = "x"}},
       "too long a path"},
      {"file named like the folder", {{.name = ".", .contents = "x"}}, "staging folder itself"},
      {"empty", {}, "holds nothing"},
  };
  for (const Hostile& hostile : cases) {
    SCOPED_TRACE(hostile.what);
    EXPECT_THAT(unpack(hostile.entries), Optional(HasSubstr(hostile.refusal)));
    expectNothingWrittenOutside();
  }
  EXPECT_EQ(fileContents("/etc/passwd").find("pwned"), std::string::npos);
}

TEST_F(SafeUnpack, RefusesArchivesPastTheCaps) {
  const std::vector<Entry> four = {{.name = "a", .contents = "1"},
                                   {.name = "b", .contents = "2"},
                                   {.name = "c", .contents = "3"},
                                   {.name = "d", .contents = "4"}};
  EXPECT_THAT(unpack(four, {.maxEntries = 3}), Optional(HasSubstr("more than 3 entries")));
  expectNothingWrittenOutside();
  EXPECT_EQ(unpack(four, {.maxEntries = 4}), std::nullopt);
  fs::remove_all(staging());

  const std::vector<Entry> big = {{.name = "a", .contents = std::string(60, 'a')},
                                  {.name = "b", .contents = std::string(41, 'b')}};
  EXPECT_THAT(unpack(big, {.maxBytes = 100}), Optional(HasSubstr("more than 100 bytes")));
  expectNothingWrittenOutside();
  EXPECT_EQ(unpack(big, {.maxBytes = 101}), std::nullopt);
}

TEST_F(SafeUnpack, RefusesWhatIsNotAnArchiveOrAnExistingStagingFolder) {
  std::ofstream(archive()) << "this is not an archive at all";
  EXPECT_THAT(unpackArchiveBytes(fileContents(archive()), staging()),
              Optional(HasSubstr("couldn't")));
  expectNothingWrittenOutside();
  // An mtree listing would have the reader copy a file of this machine into the update.
  std::ofstream(archive()) << "#mtree\n./copied type=file contents=" << outside("secret") << "\n";
  EXPECT_THAT(unpackArchiveBytes(fileContents(archive()), staging()),
              Optional(HasSubstr("couldn't")));
  expectNothingWrittenOutside();

  fs::create_directory(staging());
  std::ofstream(fs::path(staging()) / "keep") << "mine";
  EXPECT_THAT(unpack({{.name = "a", .contents = "x"}}), Optional(HasSubstr("staging folder")));
  EXPECT_EQ(fileContents(fs::path(staging()) / "keep"), "mine");  // not ours to remove
}

// Symbolic links inside the unpacked tree are never followed; one above the staging folder, in the
// path the caller gives, is.
TEST_F(SafeUnpack, UnpacksIntoAStagingFolderReachedThroughALink) {
  fs::create_directory_symlink(root, root / "via");
  testing::writeArchive(archive(), {{.name = "a/run", .contents = "x", .mode = 0755}});
  ASSERT_EQ(unpackArchiveBytes(fileContents(archive()), (root / "via" / "staging").string()),
            std::nullopt);
  EXPECT_EQ(fileContents(fs::path(staging()) / "a" / "run"), "x");
}

// Other threads of the launcher resolve relative paths while an update unpacks: one that keeps
// reading the working directory meanwhile must never see it change.
TEST_F(SafeUnpack, NeverChangesTheWorkingDirectory) {
  const fs::path before = fs::current_path();
  std::atomic<bool> unpacking = true;
  std::atomic<int> looks = 0;
  std::atomic<int> changes = 0;
  std::thread watcher([&] {
    while (unpacking) {
      if (fs::current_path() != before) ++changes;
      ++looks;
    }
  });
  while (looks == 0) std::this_thread::yield();

  std::vector<Entry> many = {{.name = "lib/libx.so", .kind = Kind::symlink, .target = "libx.so.1"}};
  for (int i = 0; i < 2000; ++i)
    many.push_back({.name = "d" + std::to_string(i % 20) + "/sub/f" + std::to_string(i),
                    .contents = std::string(512, 'x')});
  EXPECT_EQ(unpack(many), std::nullopt);
  EXPECT_EQ(fileContents(fs::path(staging()) / "d7" / "sub" / "f1987"), std::string(512, 'x'));
  fs::remove_all(staging());
  EXPECT_NE(unpack({{.name = "a", .contents = "x"}, {.name = "../a", .contents = "x"}}),
            std::nullopt);

  unpacking = false;
  watcher.join();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(fs::current_path(), before);
}

// The process's umask, as the kernel reports it, without changing it to read it.
mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("Umask:"))
      return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  return 0777;  // unknown, never what the test waits for
}

// The umask belongs to the whole process: a file another thread creates while an update unpacks
// must get the umask its creator expects, so unpacking never sets it to 0, not even briefly.
TEST_F(SafeUnpack, NeverChangesTheUmask) {
  const mode_t before = umask(022);
  std::atomic<bool> unpacking = true;
  std::atomic<int> looks = 0;
  std::atomic<int> changes = 0;
  std::thread watcher([&] {
    while (unpacking) {
      if (currentUmask() != 022) ++changes;
      ++looks;
    }
  });
  while (looks == 0) std::this_thread::yield();
  std::vector<Entry> many;
  for (int i = 0; i < 3000; ++i)
    many.push_back(
        {.name = "d" + std::to_string(i % 20) + "/f" + std::to_string(i), .contents = "x"});
  EXPECT_EQ(unpack(many), std::nullopt);
  unpacking = false;
  watcher.join();
  umask(before);
  EXPECT_EQ(changes, 0) << "in " << looks << " looks";
}

// Group and others never get write permission, whatever the archive says; the umask applies too.
TEST_F(SafeUnpack, AppliesTheArchivesModesWithoutWriteForOthers) {
  const mode_t before = umask(027);
  const std::vector<Entry> entries = {
      {.name = "open/", .kind = Kind::folder, .mode = 0777},
      {.name = "open/run", .contents = "x", .mode = 0777},
      {.name = "open/read", .contents = "x", .mode = 0664},
      {.name = "closed/", .kind = Kind::folder, .mode = 0500},
      {.name = "closed/inside", .contents = "x", .mode = 0400},
  };
  const auto refusal = unpack(entries);
  umask(before);
  ASSERT_EQ(refusal, std::nullopt);
  const auto mode = [&](const char* name) {
    struct stat status {};
    lstat((fs::path(staging()) / name).c_str(), &status);
    return status.st_mode & 07777;
  };
  EXPECT_EQ(mode("open"), 0750u);
  EXPECT_EQ(mode("open/run"), 0750u);
  EXPECT_EQ(mode("open/read"), 0640u);
  EXPECT_EQ(mode("closed"), 0500u);  // set only after what lies inside was written
  EXPECT_EQ(mode("closed/inside"), 0400u);
  EXPECT_EQ(fileContents(fs::path(staging()) / "closed" / "inside"), "x");
  fs::permissions(fs::path(staging()) / "closed", fs::perms::owner_all);
}

// With one top folder required, that folder bounds the links: the tree is used without the
// staging folder around it.
TEST_F(SafeUnpack, BoundsLinksByTheTopFolderWhenOneIsRequired) {
  const UnpackLimits oneTop{.oneTopFolder = true};
  const std::vector<Entry> climbsOneLevel = {
      {.name = "Top/", .kind = Kind::folder, .mode = 0755},
      {.name = "Top/x", .kind = Kind::symlink, .target = "../y"}};
  EXPECT_EQ(unpack(climbsOneLevel), std::nullopt);  // inside the staging folder, so accepted
  fs::remove_all(staging());
  EXPECT_THAT(unpack(climbsOneLevel, oneTop),
              Optional(HasSubstr("leaves the archive's top folder")));
  EXPECT_THAT(
      unpack({{.name = "Top/bin/run", .kind = Kind::symlink, .target = "../../Top/run"}}, oneTop),
      Optional(HasSubstr("leaves the archive's top folder")));
  EXPECT_THAT(
      unpack({{.name = "Top/a", .contents = "x"}, {.name = "Other/b", .contents = "x"}}, oneTop),
      Optional(HasSubstr("holds \"Other\" beside its top folder \"Top\"")));
  EXPECT_THAT(unpack({{.name = "Top", .kind = Kind::symlink, .target = "."}}, oneTop),
              Optional(HasSubstr("top entry \"Top\" is not a folder")));
  expectNothingWrittenOutside();
  EXPECT_EQ(unpack({{.name = "./Top/lib/libx.so.1", .contents = "x"},
                    {.name = "Top/bin/lib", .kind = Kind::symlink, .target = "../lib"}},
                   oneTop),
            std::nullopt);
}

// A link in the folder's place leads elsewhere: nothing there is touched, not even its modes.
TEST_F(SafeUnpack, RemovingNeverFollowsALinkInTheFoldersPlace) {
  fs::create_directories(root / "outside" / "closed");
  fs::permissions(root / "outside" / "closed", fs::perms::owner_read | fs::perms::owner_exec);
  fs::create_directory_symlink(root / "outside", staging());
  EXPECT_THAT(removeUnpackedFolder(staging()), Optional(HasSubstr("not a folder")));
  EXPECT_EQ(fs::status(root / "outside" / "closed").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_exec);
  EXPECT_EQ(fileContents(root / "outside" / "secret"), "secret");
  fs::remove(staging());
  fs::permissions(root / "outside" / "closed", fs::perms::owner_all);
  EXPECT_EQ(removeUnpackedFolder(staging()), std::nullopt);  // already gone
}

}  // namespace
}  // namespace jolstrand
