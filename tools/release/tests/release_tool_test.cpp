#include "release_tool.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fixture_tree.hpp"
#include "jolstrand/release_signing.hpp"
#include "named_pipe.hpp"

namespace jolstrand {
namespace {

using testing::contents;

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome run(const std::vector<std::string>& args, const std::string& input = {}) {
  std::istringstream in(input);
  std::ostringstream out;
  std::ostringstream err;
  const int status = runReleaseTool(args, in, out, err);
  return {status, out.str(), err.str()};
}

class ReleaseTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const Outcome made = run({"generate-keys", "--out", key});
    ASSERT_EQ(made.status, 0) << made.err;
    publicKey = made.out.substr(0, made.out.size() - 1);
    tree.file("Jolstrand-1.2.dmg", "disk image bytes");
    tree.file("notes.txt", "- Faster\n- Safer\n");
  }
  testing::FixtureTree tree;
  std::string key = tree.path("release.key");
  std::string archive = tree.path("Jolstrand-1.2.dmg");
  std::string publicKey;
};

TEST_F(ReleaseTool, GeneratesAPrivateKeyFileOnlyItsOwnerCanRead) {
  struct stat info {};
  ASSERT_EQ(stat(key.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600U);
  EXPECT_EQ(ReleaseSigning::publicKey(contents(key)), publicKey);
  EXPECT_THAT(publicKey, Not(HasSubstr(contents(key).substr(0, 43))));

  const Outcome again = run({"generate-keys", "--out", key});
  EXPECT_EQ(again.status, 1);
  EXPECT_THAT(again.err, HasSubstr("already exists"));
  EXPECT_EQ(ReleaseSigning::publicKey(contents(key)), publicKey);  // untouched
}

TEST_F(ReleaseTool, PrintsThePublicKeyFromAFileOrStandardInput) {
  EXPECT_EQ(run({"public-key", "--key", key}).out, publicKey + "\n");
  EXPECT_EQ(run({"public-key", "--key", "-"}, contents(key)).out, publicKey + "\n");
  const Outcome bad = run({"public-key", "--key", "-"}, "not a key");
  EXPECT_EQ(bad.status, 1);
  EXPECT_THAT(bad.err, HasSubstr("private key is not"));
  EXPECT_THAT(bad.out, IsEmpty());
}

TEST_F(ReleaseTool, SignsAndVerifiesArchives) {
  const Outcome signed_ = run({"sign", "--key", key, archive});
  ASSERT_EQ(signed_.status, 0) << signed_.err;
  const std::string signature = signed_.out.substr(0, signed_.out.size() - 1);
  EXPECT_EQ(run({"verify", "--public-key", publicKey, archive, signature}).status, 0);

  tree.file("other.dmg", "other bytes");
  const Outcome wrong =
      run({"verify", "--public-key", publicKey, tree.path("other.dmg"), signature});
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.err, "jolstrand-release: invalid signature\n");
  EXPECT_EQ(run({"verify", "--public-key", publicKey, archive, "garbage"}).status, 1);
  const Outcome missing = run({"sign", "--key", key, tree.path("nope.dmg")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_THAT(missing.err, HasSubstr("can't read"));
}

TEST_F(ReleaseTool, WritesAVerifiableFeed) {
  const std::string feed = tree.path("appcast.xml");
  const Outcome made =
      run({"appcast", "--key", key, "--archive", archive, "--version", "1.2", "--build", "42",
           "--notes", tree.path("notes.txt"), "--url", "https://example.com/J.dmg?a&b",
           "--minimum-system", "12.0", "--date", "2025-01-01T12:00:00+01:00", "--out", feed});
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_THAT(made.out, IsEmpty());
  const std::string text = contents(feed);
  EXPECT_THAT(text, HasSubstr("<sparkle:version>42</sparkle:version>"));
  EXPECT_THAT(text, HasSubstr("url=\"https://example.com/J.dmg?a&amp;b\" length=\"16\""));
  EXPECT_THAT(text, HasSubstr("<ul><li>Faster</li><li>Safer</li></ul>"));
  EXPECT_THAT(text, Not(HasSubstr(contents(key).substr(0, 43))));
  EXPECT_EQ(run({"verify-feed", "--public-key", publicKey, feed}).status, 0);
  EXPECT_EQ(ReleaseSigning::enclosureSignature(text),
            ReleaseSigning::sign("disk image bytes", contents(key)));

  std::ofstream(feed, std::ios::app) << "edSignature: AAAA\n";
  const Outcome tampered = run({"verify-feed", "--public-key", publicKey, feed});
  EXPECT_EQ(tampered.status, 1);
  EXPECT_THAT(tampered.err, HasSubstr("invalid signature"));
}

TEST_F(ReleaseTool, RefusesValuesTheFeedWouldCarryUnescaped) {
  const std::vector<std::string> base = {"appcast",
                                         "--key",
                                         key,
                                         "--archive",
                                         archive,
                                         "--notes",
                                         tree.path("notes.txt"),
                                         "--url",
                                         "https://example.com/J.tar.gz"};
  const auto with = [&](const std::string& version, const std::string& build,
                        const std::string& minimum) {
    std::vector<std::string> args = base;
    for (const std::string& part : {std::string("--version"), version, std::string("--build"),
                                    build, std::string("--minimum-system"), minimum}) {
      args.push_back(part);
    }
    return run(args);
  };
  EXPECT_EQ(with("1.2", "42", "12.0").status, 0);
  for (const auto& outcome :
       {with("1<2", "42", "12"), with("1.2", "4\"2", "12"), with("1.2", "42", "12&"),
        with("1.2", "x", "12"), with("1'2", "42", "12")}) {
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, StartsWith("jolstrand-release: "));
    EXPECT_THAT(outcome.out, IsEmpty());
  }
}

TEST_F(ReleaseTool, RefusesNamedPipesInsteadOfWaitingOnThem) {
  const std::string pipe = testing::makeNamedPipe(tree.path("pipe"));
  const std::vector<std::vector<std::string>> commands = {
      {"public-key", "--key", pipe},
      {"sign", "--key", key, pipe},
      {"appcast", "--key", key, "--archive", archive, "--version", "1", "--build", "1", "--notes",
       tree.path("notes.txt"), "--url", "https://example.com/J.tar.gz", "--minimum-system", "1",
       "--out", pipe},
  };
  for (const auto& args : commands) {
    Outcome outcome;
    EXPECT_TRUE(testing::finishesWithoutWaitingOn(pipe, [&] { outcome = run(args); })) << args[0];
    EXPECT_EQ(outcome.status, 1);
    EXPECT_THAT(outcome.err, HasSubstr(pipe + " is not a regular file"));
    EXPECT_THAT(outcome.out, IsEmpty());
  }
  struct stat info {};
  ASSERT_EQ(lstat(pipe.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

TEST_F(ReleaseTool, TakesOnlyDatesThatExist) {
  const auto withDate = [&](const std::string& date) {
    return run({"appcast", "--key", key, "--archive", archive, "--version", "1", "--build", "1",
                "--notes", tree.path("notes.txt"), "--url", "https://example.com/J.tar.gz",
                "--minimum-system", "1", "--date", date});
  };
  for (const char* date : {"2024-02-29T12:00:00Z", "2025-12-31T23:59:59-14:00",
                           "2025-01-01T00:00:00+14:00", "2025-06-30T12:00:00+05:45"}) {
    const Outcome outcome = withDate(date);
    EXPECT_EQ(outcome.status, 0) << date << ": " << outcome.err;
  }
  const auto pubDate = [](const std::string& feed) {
    return feed.substr(feed.find("<pubDate>"), feed.find("</pubDate>") - feed.find("<pubDate>"));
  };
  EXPECT_EQ(pubDate(withDate("2025-06-30T12:00:00+05:45").out),
            pubDate(withDate("2025-06-30T06:15:00Z").out));
  EXPECT_EQ(pubDate(withDate("2025-01-01T00:30:00-02:00").out),
            pubDate(withDate("2025-01-01T02:30:00Z").out));
  const std::pair<std::string, std::string> refused[] = {
      {"2025-02-31T12:00:00+02:00", "--date has no day 31 in month 02 of 2025"},
      {"2025-02-29T12:00:00Z", "--date has no day 29 in month 02 of 2025"},
      {"2100-02-29T12:00:00Z", "--date has no day 29 in month 02 of 2100"},
      {"2025-04-31T12:00:00Z", "--date has no day 31 in month 04 of 2025"},
      {"2025-01-00T12:00:00Z", "--date has no day 00 in month 01 of 2025"},
      {"2025-13-01T12:00:00Z", "--date month must be 01 to 12"},
      {"2025-00-01T12:00:00Z", "--date month must be 01 to 12"},
      {"2025-01-01T24:00:00Z", "--date hour must be 00 to 23"},
      {"2025-01-01T12:60:00Z", "--date minute must be 00 to 59"},
      {"2025-01-01T12:00:60Z", "--date second must be 00 to 59"},
      {"2025-01-01T12:00:00+02:99", "--date offset minutes must be 00 to 59"},
      {"2025-01-01T12:00:00+15:00", "--date offset must be at most 14:00"},
      {"2025-01-01T12:00:00-14:30", "--date offset must be at most 14:00"},
      {"2025-1-01T12:00:00Z", "--date must look like"},
      {"2025-01-01T12:00:00+2:00", "--date needs a time zone"},
      {"2025-01-01T12:00:00+02:0x", "--date needs a time zone"},
      {"2025-01-01T+1:00:00Z", "--date must look like"},
      {"2025-01-01T12:00:00", "--date needs a time zone"},
  };
  for (const auto& [date, error] : refused) {
    const Outcome outcome = withDate(date);
    EXPECT_EQ(outcome.status, 1) << date;
    EXPECT_THAT(outcome.err, HasSubstr(error)) << date;
    EXPECT_THAT(outcome.err, HasSubstr(date));
    EXPECT_THAT(outcome.out, IsEmpty());
  }
}

// Provokes a failed write that even root cannot avoid: a file-size limit below the feed's size.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    rlimit lower = old_;
    lower.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lower);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }

 private:
  rlimit old_{};
  void (*oldHandler_)(int);
};

TEST_F(ReleaseTool, LeavesTheOldFeedWholeWhenWritingTheNewOneFails) {
  const std::string feed = tree.file("appcast.xml", "the previous feed\n");
  const std::vector<std::string> args = {"appcast",
                                         "--key",
                                         key,
                                         "--archive",
                                         archive,
                                         "--version",
                                         "1",
                                         "--build",
                                         "1",
                                         "--notes",
                                         tree.path("notes.txt"),
                                         "--url",
                                         "https://example.com/J.tar.gz",
                                         "--minimum-system",
                                         "1",
                                         "--out",
                                         feed};
  Outcome outcome;
  {
    const FileSizeLimit limit(64);
    outcome = run(args);
  }
  EXPECT_EQ(outcome.status, 1);
  EXPECT_THAT(outcome.err, HasSubstr("can't write"));
  EXPECT_EQ(contents(feed), "the previous feed\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.path("")), {}), 4)
      << "no temporary file is left behind";

  ASSERT_EQ(run(args).status, 0);
  EXPECT_EQ(run({"verify-feed", "--public-key", publicKey, feed}).status, 0);
}

TEST_F(ReleaseTool, ExplainsItsUsage) {
  EXPECT_EQ(run({}).status, 1);
  EXPECT_EQ(run({"--help"}).status, 0);
  for (const char* command :
       {"generate-keys", "public-key", "sign", "verify", "appcast", "verify-feed"}) {
    const Outcome help = run({command, "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.out, StartsWith(std::string("usage: jolstrand-release ") + command));
  }
  EXPECT_THAT(run({"frobnicate"}).err, HasSubstr("unknown command frobnicate"));
  EXPECT_THAT(run({"sign", "--key", key}).err, HasSubstr("takes 1 argument"));
  EXPECT_THAT(run({"sign", "--kye", key, archive}).err, HasSubstr("unknown option --kye"));
  EXPECT_THAT(run({"sign", archive, "--key"}).err, HasSubstr("--key needs a value"));
  EXPECT_THAT(run({"appcast", "--key", key, "--archive", archive, "--version", "1", "--build", "1",
                   "--notes", tree.path("notes.txt"), "--url", "u", "--minimum-system", "1",
                   "--date", "yesterday"})
                  .err,
              HasSubstr("--date must look like"));
}

// A feed the launcher would refuse is never signed, and verify-feed asks the launcher's own reader
// too: a version of two lines, a build that is not positive, an address that is not https.
TEST_F(ReleaseTool, WritesAndPassesOnlyFeedsTheLauncherAccepts) {
  const auto appcast = [&](const std::string& version, const std::string& build,
                           const std::string& url, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {
        "appcast",   "--key", key,       "--archive", archive, "--notes", tree.path("notes.txt"),
        "--version", version, "--build", build,       "--url", url,       "--minimum-system",
        "12.0"};
    args.insert(args.end(), more.begin(), more.end());
    return run(args);
  };
  const std::string https = "https://example.com/J.tar.gz";
  const struct {
    Outcome outcome;
    const char* refusal;
  } cases[] = {
      {appcast("1.2\n", "42", https), "--version must be one line without control characters"},
      {appcast("1.2", "0", https), "--build must be a positive whole number, not 0"},
      {appcast("1.2", "-3", https), "--build must be a positive whole number, not -3"},
      {appcast("1.2", "42", "http://example.com/J.tar.gz"),
       "the launcher would refuse this feed: the archive's address does not begin with https://"},
      {appcast("1.2", "42", https, {"--os", "linux"}), "--os and --arch go together"},
      {appcast("1.2", "42", https, {"--os", "linux", "--arch", "x86 64"}),
       "--arch must be a name like linux or x86_64"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.outcome.status, 1) << c.refusal;
    EXPECT_THAT(c.outcome.err, HasSubstr(c.refusal));
    EXPECT_THAT(c.outcome.out, IsEmpty());
  }
  const Outcome targeted = appcast("1.2", "42", https, {"--os", "linux", "--arch", "x86_64"});
  ASSERT_EQ(targeted.status, 0) << targeted.err;
  EXPECT_THAT(targeted.out, HasSubstr(R"(os="linux" arch="x86_64"/>)"));

  // Signed with the right key, but not in the form the launcher reads.
  const std::string odd =
      tree.file("odd.xml", ReleaseSigning::signFeed("<rss>\n</rss>\n", contents(key)));
  const Outcome verified = run({"verify-feed", "--public-key", publicKey, odd});
  EXPECT_EQ(verified.status, 1);
  EXPECT_THAT(verified.err, HasSubstr("the launcher would refuse this feed: line 1"));
}

// A private key others can read, or a link in the key file's place, is refused before it is used.
TEST_F(ReleaseTool, RefusesKeyFilesOthersCanReadOrThatAreLinks) {
  const std::string link = tree.path("linked.key");
  std::filesystem::create_symlink(key, link);
  const Outcome linked = run({"public-key", "--key", link});
  EXPECT_EQ(linked.status, 1);
  EXPECT_THAT(linked.err, HasSubstr("the key file " + link + " is a symbolic link"));
  for (const mode_t mode : {0640, 0604}) {
    chmod(key.c_str(), mode);
    const Outcome readable = run({"sign", "--key", key, archive});
    EXPECT_EQ(readable.status, 1);
    EXPECT_THAT(readable.err,
                HasSubstr("can be read by others (mode 0" + std::to_string(mode / 64) +
                          std::to_string(mode / 8 % 8) + std::to_string(mode % 8) +
                          "); make it readable by its owner alone: chmod 600"));
    EXPECT_THAT(readable.out, IsEmpty());
  }
  chmod(key.c_str(), 0600);
  EXPECT_EQ(run({"sign", "--key", key, archive}).status, 0);
}

}  // namespace
}  // namespace jolstrand
