#include "platform/linux/update/portable_installation.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "archive_writer.hpp"
#include "folder_contents.hpp"
#include "jolstrand/release_signing.hpp"
#include "jolstrand/update/safe_unpack.hpp"
#include "without_privilege.hpp"

namespace jolstrand {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::UnorderedElementsAre;
using Entry = testing::ArchiveEntry;
using Kind = Entry::Kind;
using testing::fileContents;
using testing::namesIn;

std::string infoPlist(const std::string& build) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
         "<key>CFBundleVersion</key><string>" +
         build + "</string></dict></plist>\n";
}

// What the program of an installation prints when it runs.
std::string runProgram(const fs::path& program) {
  FILE* output = popen(program.c_str(), "r");
  if (!output) return "";
  char line[64] = {};
  const bool read = std::fgets(line, sizeof line, output) != nullptr;
  pclose(output);
  return read ? line : "";
}

constexpr char layout[] =
    "README.txt\nbin\nbin/jolstrand\nlib\nlib/jolstrand\nshare\nshare/jolstrand\n";
// The list as builds write it now: every file and folder.
constexpr char fullLayout[] =
    "README.txt\nbin\nbin/jolstrand\nlib\nlib/jolstrand\nlib/jolstrand/modules\n"
    "lib/jolstrand/modules/jolstrand-launcher.so\nshare\nshare/jolstrand\n"
    "share/jolstrand/Info.plist\nshare/jolstrand/portable-layout\n";

// A portable installation of build 10 in a temporary folder, an update archive of build 11 for it
// and the feed item that describes the archive.
class PortableUpdate : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    top = fs::temp_directory_path() /
          ("portable_update_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(root() / "bin");
    fs::create_directories(root() / "lib" / "jolstrand");
    fs::create_directories(root() / "share" / "jolstrand");
    std::ofstream(root() / "bin" / "jolstrand") << "#!/bin/sh\necho old\n";
    fs::permissions(root() / "bin" / "jolstrand", fs::perms::owner_exec, fs::perm_options::add);
    std::ofstream(root() / "share" / "jolstrand" / "Info.plist") << infoPlist("10");
    std::ofstream(root() / "README.txt") << "portable";
    std::ofstream(root() / "share" / "jolstrand" / "portable-layout") << layout;
    installation = {.root = root().string(), .program = (root() / "bin" / "jolstrand").string()};
  }
  void TearDown() override { fs::remove_all(top); }

  // The new version's program, which passes its self-test as the given build.
  static std::string newProgram(const std::string& build) {
    return "#!/bin/sh\n[ \"$1\" = --self-test ] && echo 'Jolstrand 2.0 (build " + build +
           ")' || echo new\n";
  }

  static std::vector<Entry> release(const std::string& build) {
    const std::string folder = "Jolstrand-2.0-linux-x86_64/";
    return {{.name = folder, .kind = Kind::folder, .mode = 0755},
            {.name = folder + "bin/", .kind = Kind::folder, .mode = 0755},
            {.name = folder + "bin/jolstrand", .contents = newProgram(build), .mode = 0755},
            {.name = folder + "share/jolstrand/Info.plist", .contents = infoPlist(build)},
            {.name = folder + "share/jolstrand/portable-layout", .contents = layout},
            {.name = folder + "README.txt", .contents = "portable"},
            {.name = folder + "lib/jolstrand/modules/jolstrand-launcher.so", .contents = "module"}};
  }

  // Writes the archive and describes it, signed, in item.
  void makeArchive(const std::vector<Entry>& entries) {
    testing::writeArchive(archive(), entries);
    const std::string bytes = fileContents(archive());
    item.build = "11";
    item.length = bytes.size();
    item.signature = ReleaseSigning::sign(bytes, key.privateKey);
  }

  Checked<std::string> install(FolderSwap::Method method = FolderSwap::Method::twoRenames,
                               std::function<void()> betweenSteps = {}) {
    return installUpdate(installation, archive(), item, key.publicKey, "10", method,
                         std::move(betweenSteps));
  }

  void expectOldInstallationIntact() {
    EXPECT_EQ(fileContents(root() / "share" / "jolstrand" / "Info.plist"), infoPlist("10"));
    EXPECT_EQ(runProgram(root() / "bin" / "jolstrand"), "old\n");
  }

  fs::path root() const { return top / "Jolstrand"; }
  std::string archive() const { return (top / "update.tar.gz").string(); }

  fs::path top;
  PortableInstallation installation;
  ReleaseSigning::KeyPair key = ReleaseSigning::makeKeyPair();
  UpdateItem item;
};

TEST_F(PortableUpdate, FindsThePortableInstallationOfAProgramReachedThroughALink) {
  fs::create_directory_symlink(top, top / "via");
  fs::create_symlink(top / "via" / "Jolstrand" / "bin" / "jolstrand", top / "jolstrand");
  const auto found = findPortableInstallation((top / "jolstrand").string());
  ASSERT_TRUE(found) << found.error();
  EXPECT_EQ(found->root, root().string());
  EXPECT_EQ(found->program, (root() / "bin" / "jolstrand").string());
}

TEST_F(PortableUpdate, RefusesProgramsThatDoNotRunFromAPortableInstallation) {
  // Installed the system's way: the portable copy of the Info.plist is not there.
  fs::create_directories(top / "usr" / "bin");
  fs::create_directories(top / "usr" / "share" / "doc" / "jolstrand");
  std::ofstream(top / "usr" / "bin" / "jolstrand") << "#!/bin/sh\n";
  EXPECT_THAT(findPortableInstallation((top / "usr" / "bin" / "jolstrand").string()).error(),
              HasSubstr("does not run from a portable installation"));
  std::ofstream(root() / "jolstrand") << "#!/bin/sh\n";
  EXPECT_THAT(findPortableInstallation((root() / "jolstrand").string()).error(),
              HasSubstr("does not run from a portable installation"));
  EXPECT_THAT(findPortableInstallation((top / "missing").string()).error(),
              HasSubstr("couldn't resolve"));
}

// Unpacked into a folder of other things (a prefix such as ~/.local), the archive's folders are
// not the program's own to replace.
TEST_F(PortableUpdate, RefusesAnInstallationFolderThatHoldsWhatTheLayoutDoesNotList) {
  ASSERT_TRUE(findPortableInstallation(installation.program));
  for (const char* other : {"include", "bin/tool", "lib/tool", "share/fonts"}) {
    SCOPED_TRACE(other);
    fs::create_directories(root() / other);
    EXPECT_THAT(findPortableInstallation(installation.program).error(),
                HasSubstr("holds \"" + std::string(other) + "\", which is not the program's"));
    fs::remove(root() / other);
  }
  fs::remove_all(root() / "share");
  fs::create_directories(top / "elsewhere" / "jolstrand");
  std::ofstream(top / "elsewhere" / "jolstrand" / "Info.plist") << infoPlist("10");
  std::ofstream(top / "elsewhere" / "jolstrand" / "portable-layout") << layout;
  fs::create_directory_symlink(top / "elsewhere", root() / "share");
  EXPECT_THAT(findPortableInstallation(installation.program).error(),
              HasSubstr("share is not a folder"));
  fs::remove(root() / "share");
  fs::create_directories(root() / "share" / "jolstrand");
  std::ofstream(root() / "share" / "jolstrand" / "Info.plist") << infoPlist("10");
  EXPECT_THAT(findPortableInstallation(installation.program).error(),
              HasSubstr("no readable share/jolstrand/portable-layout"));
}

// A build from before the program had a lib/ folder lists none, and is still the program's.
TEST_F(PortableUpdate, LooksOnlyInsideTheFoldersTheLayoutListsEntriesOf) {
  fs::remove_all(root() / "lib");
  std::ofstream(root() / "share" / "jolstrand" / "portable-layout")
      << "README.txt\nbin\nbin/jolstrand\nshare\nshare/jolstrand\n";
  EXPECT_TRUE(findPortableInstallation(installation.program));
  fs::create_directories(root() / "lib");
  EXPECT_THAT(findPortableInstallation(installation.program).error(),
              HasSubstr("holds \"lib\", which is not the program's"));
}

// The check asks the kernel for this process's rights, which root has everywhere: run as root,
// the folders are handed to nobody, who then looks from a child process.
TEST_F(PortableUpdate, RefusesAnInstallationWhoseFolderOrParentIsNotWritable) {
  const auto find = [&] {
    return testing::answerWithoutPrivilege(top, [&] {
      const auto found = findPortableInstallation(installation.program);
      return found ? std::string("found") : found.error();
    });
  };
  EXPECT_EQ(find(), "found");
  fs::permissions(root(), fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_THAT(find(), HasSubstr("the folder " + root().string() + " is not writable"));
  fs::permissions(root(), fs::perms::owner_write, fs::perm_options::add);
  fs::permissions(top, fs::perms::owner_write, fs::perm_options::remove);
  EXPECT_THAT(find(), HasSubstr("the folder " + top.string() + " is not writable"));
  fs::permissions(top, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(PortableUpdate, SwapsInAGoodArchiveAndLaterRemovesTheOldVersion) {
  for (const auto method :
       {FolderSwap::Method::exchangeWhereAvailable, FolderSwap::Method::twoRenames}) {
    SCOPED_TRACE(method == FolderSwap::Method::twoRenames ? "two renames" : "exchange");
    makeArchive(release("11"));
    const auto program = install(method);
    ASSERT_TRUE(program) << program.error();
    EXPECT_EQ(*program, (root() / "bin" / "jolstrand").string());
    EXPECT_EQ(runProgram(*program), "new\n");
    EXPECT_EQ(fileContents(root() / "share" / "jolstrand" / "Info.plist"), infoPlist("11"));
    EXPECT_EQ(runProgram(top / "Jolstrand.old-10" / "bin" / "jolstrand"), "old\n");
    EXPECT_THAT(namesIn(top),
                UnorderedElementsAre("Jolstrand", "Jolstrand.old-10", "update.tar.gz"));

    fs::create_directories(top / "Jolstrand.staging-0123456789abcdef.tree" / "bin");
    fs::create_directories(top / "Jolstrand.staging-0123456789abcdef");
    fs::create_directories(top / "Jolstrand.staging-mine");
    fs::create_directories(top / "Jolstrand.old-data");
    fs::create_directories(top / "Other.staging-1");
    removeUpdateLeftovers(installation, (top / "Jolstrand.old-10").string());
    EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz", "Other.staging-1",
                                                   "Jolstrand.staging-mine", "Jolstrand.old-data"));
    // Back to build 10 for the other method.
    TearDown();
    SetUp();
  }
}

// The folder may gain files of the user's while the program runs, and a folder of the old
// version's name may be the user's: an update carries off or removes neither.
TEST_F(PortableUpdate, NeverReplacesOrRemovesWhatIsNotTheProgramsAlone) {
  makeArchive(release("11"));
  std::ofstream(root() / "notes.txt") << "mine";
  EXPECT_THAT(install().error(), HasSubstr("holds \"notes.txt\""));
  EXPECT_EQ(fileContents(root() / "notes.txt"), "mine");
  fs::remove(root() / "notes.txt");

  fs::create_directories(top / "Jolstrand.old-10");
  std::ofstream(top / "Jolstrand.old-10" / "notes.txt") << "mine";
  EXPECT_THAT(install().error(), HasSubstr("is in the way and is not an old installation"));
  EXPECT_EQ(fileContents(top / "Jolstrand.old-10" / "notes.txt"), "mine");
  removeUpdateLeftovers(installation, (top / "Jolstrand.old-10").string());
  EXPECT_EQ(fileContents(top / "Jolstrand.old-10" / "notes.txt"), "mine");
  EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "Jolstrand.old-10", "update.tar.gz"));
  expectOldInstallationIntact();
}

// Nothing of an archive that fails its check is unpacked: no folder is ever made beside the
// installation, not even for a moment.
TEST_F(PortableUpdate, RefusesAnArchiveOfTheWrongLengthOrWithAFlippedByteBeforeUnpacking) {
  makeArchive(release("11"));
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, top.c_str(), IN_CREATE | IN_MOVED_TO), 0);

  ++item.length;
  EXPECT_THAT(install().error(), HasSubstr("the feed says"));
  --item.length;
  std::string bytes = fileContents(archive());
  bytes[bytes.size() / 2] ^= 0x01;
  std::ofstream(archive(), std::ios::binary | std::ios::trunc) << bytes;
  EXPECT_THAT(install().error(), HasSubstr("signature does not verify"));

  char events[4096];
  EXPECT_LT(read(watch, events, sizeof events), 0) << "something was made beside the installation";
  close(watch);
  EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz"));
  expectOldInstallationIntact();
}

TEST_F(PortableUpdate, RefusesAnUpdateThatIsNotTheExpectedPortableBuild) {
  std::vector<Entry> noProgram = release("11");
  noProgram.erase(noProgram.begin() + 2);
  std::vector<Entry> programNotExecutable = release("11");
  programNotExecutable[2].mode = 0644;
  std::vector<Entry> noInfoPlist = release("11");
  noInfoPlist.erase(noInfoPlist.begin() + 3);
  std::vector<Entry> noModule = release("11");
  noModule.pop_back();
  std::vector<Entry> plistOfAnotherBuild = release("11");
  plistOfAnotherBuild[3].contents = infoPlist("12");
  std::vector<Entry> twoFolders = release("11");
  twoFolders.push_back({.name = "Other/", .kind = Kind::folder, .mode = 0755});
  const struct {
    const char* what;
    std::vector<Entry> entries;
    const char* refusal;
  } cases[] = {
      {"another build", release("12"), "reported \"Jolstrand 2.0 (build 12)\", not build 11"},
      {"an Info.plist of another build", plistOfAnotherBuild, "reports build 12, not 11"},
      {"no Info.plist", noInfoPlist, "not a readable property list"},
      {"no program", noProgram, "no program bin/jolstrand"},
      {"program that cannot run", programNotExecutable, "no program bin/jolstrand"},
      {"no launcher module", noModule,
       "no launcher module lib/jolstrand/modules/jolstrand-launcher.so"},
      {"two folders", twoFolders, "beside its top folder"},
      {"a file at the top",
       {{.name = "jolstrand", .contents = "x", .mode = 0755}},
       "is not a folder"},
  };
  for (const auto& wrong : cases) {
    SCOPED_TRACE(wrong.what);
    makeArchive(wrong.entries);
    EXPECT_THAT(install().error(), HasSubstr(wrong.refusal));
    EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz"));
    expectOldInstallationIntact();
  }
}

// The archive's top folder becomes the installation: a link that climbs out of it would lead,
// after the swap, into the folder around the installation.
TEST_F(PortableUpdate, RefusesALinkThatLeavesTheArchivesTopFolder) {
  const std::string folder = "Jolstrand-2.0-linux-x86_64/";
  std::vector<Entry> programOutside = release("11");
  programOutside[2] = {.name = folder + "bin/jolstrand",
                       .kind = Kind::symlink,
                       .target = "../../Jolstrand/bin/jolstrand"};
  std::vector<Entry> linkBeside = release("11");
  linkBeside.push_back({.name = folder + "data", .kind = Kind::symlink, .target = "../Jolstrand"});
  for (const auto& entries : {programOutside, linkBeside}) {
    makeArchive(entries);
    EXPECT_THAT(install().error(), HasSubstr("leaves the archive's top folder"));
    EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz"));
    expectOldInstallationIntact();
  }
}

// The second rename fails: the staged tree has gone (two renames), or the old installation cannot
// take its new name (exchange). Either way the old installation is back in place and still runs.
TEST_F(PortableUpdate, LeavesTheOldInstallationRunningWhenTheSwapFailsHalfWay) {
  makeArchive(release("11"));
  const auto moveStagedTreeAway = [&] {
    for (const std::string& name : namesIn(top)) {
      if (name.find(".staging-") != std::string::npos) fs::rename(top / name, top / "moved away");
    }
  };
  EXPECT_THAT(install(FolderSwap::Method::twoRenames, moveStagedTreeAway).error(),
              HasSubstr("couldn't move"));
  expectOldInstallationIntact();
  EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz", "moved away"));
  fs::remove_all(top / "moved away");

  const auto blockOldName = [&] {
    fs::create_directories(top / "Jolstrand.old-10" / "in the way");
  };
  const auto failed = install(FolderSwap::Method::exchangeWhereAvailable, blockOldName);
  EXPECT_THAT(failed.error(), HasSubstr("couldn't move"));
  expectOldInstallationIntact();
  EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz", "Jolstrand.old-10"));
}

// A release for another architecture, or one that needs newer libraries than this machine has,
// verifies like any other: its program's self-test is what tells, before anything moves.
TEST_F(PortableUpdate, RefusesAnUpdateWhoseProgramCannotRunHere) {
  const auto withProgram = [](std::string contents) {
    std::vector<Entry> entries = release("11");
    entries[2].contents = std::move(contents);
    return entries;
  };
  const struct {
    const char* what;
    std::string program;
    const char* refusal;
  } cases[] = {
      {"another architecture",
       std::string("\x7f"
                   "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0\xb7\0",
                   20),
       "cannot run on this machine (Exec format error)"},
      {"newer libraries",
       "#!/bin/sh\necho 'jolstrand: error while loading shared libraries: libQt6Core.so.7'\n"
       "exit 127\n",
       "exited with status 127 and printed \"jolstrand: error while loading shared libraries"},
      {"a module that does not load",
       "#!/bin/sh\necho \"jolstrand: couldn't load the launcher\a\" >&2\nexit 1\n",
       "printed \"jolstrand: couldn't load the launcher\\x07\""},
      {"a self-test that never ends", "#!/bin/sh\nexec sleep 60\n", "did not finish its self-test"},
  };
  for (const auto& wrong : cases) {
    SCOPED_TRACE(wrong.what);
    makeArchive(withProgram(wrong.program));
    const auto refused = installUpdate(installation, archive(), item, key.publicKey, "10",
                                       {.selfTestTimeoutMs = 1000});
    EXPECT_THAT(refused.error(), HasSubstr(wrong.refusal));
    EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz"));
    expectOldInstallationIntact();
  }
}

// Killed at any moment of an installation, the next start finds a whole installation, old or new,
// in place, and once it has cleaned up nothing else beside it.
TEST_F(PortableUpdate, AKillAtAnyStepLeavesAnInstallationThatRuns) {
  const InstallStep steps[] = {InstallStep::unpacked,     InstallStep::takenOut,
                               InstallStep::synced,       InstallStep::tried,
                               InstallStep::swapHalfDone, InstallStep::swapped};
  for (const InstallStep step : steps) {
    SCOPED_TRACE(static_cast<int>(step));
    makeArchive(release("11"));
    const pid_t child = fork();
    if (child == 0) {
      (void)installUpdate(installation, archive(), item, key.publicKey, "10",
                          {.atStep = [step](InstallStep reached) {
                            if (reached == step) raise(SIGKILL);
                          }});
      _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    const std::string ran = runProgram(root() / "bin" / "jolstrand");
    EXPECT_TRUE(ran == "old\n" || ran == "new\n") << ran;
    EXPECT_EQ(ran == "new\n", step >= InstallStep::swapHalfDone);
    ASSERT_TRUE(findPortableInstallation(installation.program));
    removeUpdateLeftovers(installation, (top / "Jolstrand.old-10").string());
    EXPECT_THAT(namesIn(top), UnorderedElementsAre("Jolstrand", "update.tar.gz"));
    TearDown();
    SetUp();
  }
}

// The layout lists every file: a user's file anywhere inside is seen, and a user's folder beside
// the installation is never taken for the old version.
TEST_F(PortableUpdate, KeepsTheUsersFilesDeepInsideAndFoldersBeside) {
  std::ofstream(root() / "share" / "jolstrand" / "portable-layout") << fullLayout;
  ASSERT_TRUE(findPortableInstallation(installation.program));
  std::ofstream(root() / "share" / "jolstrand" / "my-notes.txt") << "mine";
  EXPECT_THAT(findPortableInstallation(installation.program).error(),
              HasSubstr("holds \"share/jolstrand/my-notes.txt\""));
  makeArchive(release("11"));
  EXPECT_THAT(install().error(), HasSubstr("holds \"share/jolstrand/my-notes.txt\""));
  EXPECT_EQ(fileContents(root() / "share" / "jolstrand" / "my-notes.txt"), "mine");
  fs::remove(root() / "share" / "jolstrand" / "my-notes.txt");

  fs::copy(root(), top / "Jolstrand.old-mine", fs::copy_options::recursive);
  removeUpdateLeftovers(installation, (top / "Jolstrand.old-10").string());
  removeUpdateLeftovers(installation, "");
  EXPECT_THAT(namesIn(top),
              UnorderedElementsAre("Jolstrand", "Jolstrand.old-mine", "update.tar.gz"));
}

// In a folder others may write (a sticky shared folder), another user could take the old
// folder's name first and block every update half-way.
TEST_F(PortableUpdate, RefusesAnInstallationInAFolderSharedWithOthers) {
  for (const auto shared :
       {fs::perms::sticky_bit | fs::perms::others_all, fs::perms::others_write}) {
    fs::permissions(top, shared, fs::perm_options::add);
    EXPECT_THAT(findPortableInstallation(installation.program).error(),
                HasSubstr("is shared with other users"));
    fs::permissions(top, shared, fs::perm_options::remove);
  }
  EXPECT_TRUE(findPortableInstallation(installation.program));
}

// A download killed half-way leaves its folder in the temporary folder; the next start removes
// this user's stale ones and nothing else.
TEST_F(PortableUpdate, RemovesTheUsersStaleDownloadFolders) {
  const fs::path temp = top / "tmp";
  for (const char* name : {"jolstrand-update-Ab12Cd", "jolstrand-update-Ef34Gh",
                           "jolstrand-update-long-name", "other-Ab12Cd"}) {
    fs::create_directories(temp / name);
    std::ofstream(temp / name / "update-archive") << "part of an archive";
  }
  fs::create_directory_symlink(top / "Jolstrand", temp / "jolstrand-update-Linked");
  const auto age = [&](const char* name) {
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(2);
    fs::last_write_time(temp / name / "update-archive", old);
    fs::last_write_time(temp / name, old);
  };
  for (const char* name : {"jolstrand-update-Ab12Cd", "jolstrand-update-long-name", "other-Ab12Cd"})
    age(name);
  removeStaleDownloads(temp.string());
  EXPECT_THAT(namesIn(temp),
              UnorderedElementsAre("jolstrand-update-Ef34Gh", "jolstrand-update-long-name",
                                   "other-Ab12Cd", "jolstrand-update-Linked"));
  EXPECT_TRUE(fs::exists(root() / "bin" / "jolstrand"));
}

}  // namespace
}  // namespace jolstrand
