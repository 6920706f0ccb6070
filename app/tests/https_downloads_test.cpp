// The update engine's transfers against a local HTTPS server: what is fetched arrives whole, and
// every way a server can misbehave ends in one failure with a clear message and no file left.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "https_fixture.hpp"
#include "platform/linux/update/test_authority.hpp"
#include "platform/linux/update/update_downloads.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;
using testing::HttpsServer;
using ::testing::StartsWith;
using Result = Checked<std::string>;

constexpr std::uint64_t plenty = 1 << 20;
constexpr int timeoutMs = 1000;
// Far beyond every timeout here: reaching it means a transfer hung.
constexpr int hangMs = 20000;

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(path, std::ios::binary) << content;
}

// Runs one request on a downloads object of its own and the event loop until its result.
Result await(const std::function<void(UpdateDownloads&, UpdateDownloads::Done)>& request,
             int silenceLimitMs = defaultSilenceLimitMs) {
  const std::unique_ptr<UpdateDownloads> downloads = makeHttpsDownloads(silenceLimitMs);
  std::optional<Result> result;
  int calls = 0;
  QEventLoop loop;
  request(*downloads, [&](Result answer) {
    ++calls;
    result = std::move(answer);
    loop.quit();
  });
  QTimer::singleShot(hangMs, &loop, &QEventLoop::quit);
  loop.exec();
  QCoreApplication::processEvents();  // room for a second call, which must not come
  EXPECT_EQ(calls, 1);
  return result ? *result : Result::failure("no result: the transfer hung");
}

Result fetchText(const std::string& url, std::uint64_t maxBytes = plenty) {
  return await([&](UpdateDownloads& downloads, UpdateDownloads::Done done) {
    downloads.fetchText(url, maxBytes, timeoutMs, std::move(done));
  });
}

// A failure leaves the file system as it was, already when it is reported.
Result fetchFile(const std::string& url, const std::string& path, std::uint64_t maxBytes = plenty) {
  const bool existed = std::filesystem::exists(path);
  return await([&](UpdateDownloads& downloads, UpdateDownloads::Done done) {
    downloads.fetchFile(url, path, maxBytes, timeoutMs,
                        [&, done = std::move(done)](const Result& result) {
                          if (!result) {
                            EXPECT_EQ(std::filesystem::exists(path), existed) << path;
                          }
                          done(result);
                        });
  });
}

class HttpsDownloadsTest : public ::testing::Test {
 protected:
  // One server for the suite: starting one takes about a second.
  static void SetUpTestSuite() {
    served = new QTemporaryDir;
    writeFile(servedPath("/feed.xml"), feed);
    writeFile(servedPath("/archive.bin"), archive());
    server = new HttpsServer(served->path().toStdString());
  }
  static void TearDownTestSuite() {
    delete server;
    delete served;
  }

  static std::string servedPath(const std::string& name) {
    return served->path().toStdString() + name;
  }
  // 1000 bytes, every byte value among them.
  static std::string archive() {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7);
    return bytes;
  }
  std::string downloadPath(const std::string& name) const {
    return target_.path().toStdString() + "/" + name;
  }

  static constexpr const char* feed = "<rss>\n  <channel/>\n</rss>\n";
  static inline QTemporaryDir* served = nullptr;
  static inline HttpsServer* server = nullptr;
  QTemporaryDir target_;
};

TEST_F(HttpsDownloadsTest, FetchesTextAndFilesAsServed) {
  const Result text = fetchText(server->url("/feed.xml"));
  ASSERT_TRUE(text) << text.error();
  EXPECT_EQ(*text, feed);

  const std::string path = downloadPath("archive.bin");
  const Result file = fetchFile(server->url("/archive.bin"), path, 1000);  // the cap is inclusive
  ASSERT_TRUE(file) << file.error();
  EXPECT_EQ(*file, path);
  EXPECT_EQ(readFile(path), archive());

  // Without a length announced, the end of the connection ends the body.
  const Result unsized = fetchText(server->url("/_/unsized?bytes=1000"), 1000);
  ASSERT_TRUE(unsized) << unsized.error();
  EXPECT_EQ(*unsized, std::string(1000, 'x'));
}

TEST_F(HttpsDownloadsTest, RefusesAddressesThatAreNotHttps) {
  const std::string plain = "http" + server->url("/feed.xml").substr(5);
  EXPECT_EQ(fetchText(plain).error(),
            "couldn't fetch " + plain + ": only https:// addresses are accepted");
  for (const std::string url :
       {"ftp://127.0.0.1/feed.xml", "https://", "https:///feed.xml", "/feed.xml", "feed.xml", ""}) {
    EXPECT_EQ(fetchText(url).error(),
              "couldn't fetch " + url + ": only https:// addresses are accepted");
  }
  EXPECT_FALSE(fetchFile(plain, downloadPath("feed.xml")));
}

TEST_F(HttpsDownloadsTest, FollowsRedirectsOnlyToHttps) {
  const Result followed =
      fetchText(server->redirectTo(server->redirectTo(server->url("/feed.xml"))));
  ASSERT_TRUE(followed) << followed.error();
  EXPECT_EQ(*followed, feed);
  // A location relative to the address redirected from, and a permanent redirect.
  const Result relative = fetchText(server->url("/_/redirect?to=/feed.xml&code=308"));
  ASSERT_TRUE(relative) << relative.error();
  EXPECT_EQ(*relative, feed);

  const std::string plain = "http" + server->url("/feed.xml").substr(5);
  const std::string redirect = server->redirectTo(plain);
  EXPECT_EQ(fetchText(redirect).error(), "couldn't fetch " + redirect + ": it redirects to " +
                                             plain + ", which is not an https:// address");
  EXPECT_FALSE(fetchFile(redirect, downloadPath("feed.xml")));

  std::string endless = server->url("/feed.xml");
  for (int i = 0; i < 10; ++i) endless = server->redirectTo(endless);
  EXPECT_EQ(fetchText(endless).error(),
            "couldn't fetch " + endless + ": it redirects more than 5 times");
}

TEST_F(HttpsDownloadsTest, AnAnswerOtherThan200IsAFailure) {
  for (const int status : {404, 500, 204}) {
    const std::string url = server->url("/_/status/" + std::to_string(status));
    EXPECT_EQ(fetchText(url).error(),
              "couldn't fetch " + url + ": the server answered " + std::to_string(status));
  }
  const std::string missing = server->url("/missing.xml");
  EXPECT_EQ(fetchFile(missing, downloadPath("missing.xml")).error(),
            "couldn't fetch " + missing + ": the server answered 404");
}

TEST_F(HttpsDownloadsTest, StopsAtTheByteCap) {
  // Announced in advance.
  const std::string announced = server->url("/archive.bin");
  EXPECT_EQ(fetchText(announced, 999).error(),
            "couldn't fetch " + announced + ": it is larger than 999 bytes");
  EXPECT_FALSE(fetchFile(announced, downloadPath("archive.bin"), 999));

  // Only found while reading: no length announced, and far more than the cap.
  const std::string unsized = server->url("/_/unsized?bytes=4000000");
  EXPECT_EQ(fetchText(unsized, 1000).error(),
            "couldn't fetch " + unsized + ": it is larger than 1000 bytes");
  EXPECT_FALSE(fetchFile(unsized, downloadPath("unsized"), 1000));
}

TEST_F(HttpsDownloadsTest, ASlowOrSilentServerEndsInOneFailure) {
  for (const std::string path : {"/_/slow?bytes=100&interval=0.1", "/_/silent"}) {
    const std::string url = server->url(path);
    EXPECT_EQ(fetchText(url).error(),
              "couldn't fetch " + url + ": it did not finish within 1 second");
  }
  // Part of the body has been written when the time is up.
  const std::string slow = server->url("/_/slow?bytes=100&interval=0.05");
  EXPECT_FALSE(fetchFile(slow, downloadPath("slow")));
}

// A large download's deadline is far off; a server that stops sending is given up long before.
TEST_F(HttpsDownloadsTest, GivesUpOnAServerThatSendsNothingForAWhile) {
  constexpr int silenceLimitMs = 1000;
  const auto fetchSlowly = [&](const std::string& url) {
    return await(
        [&](UpdateDownloads& downloads, UpdateDownloads::Done done) {
          downloads.fetchFile(url, downloadPath("file"), plenty, hangMs, std::move(done));
        },
        silenceLimitMs);
  };
  const std::string silent = server->url("/_/silent");
  EXPECT_EQ(fetchSlowly(silent).error(),
            "couldn't fetch " + silent + ": it sent nothing for 1 second");
  EXPECT_FALSE(std::filesystem::exists(downloadPath("file")));
  // Slow but steady: longer than the limit in all, never silent that long.
  const Result steady = fetchSlowly(server->url("/_/slow?bytes=10&interval=0.2"));
  ASSERT_TRUE(steady) << steady.error();
  EXPECT_EQ(readFile(*steady), std::string(10, 'x'));
}

// A server that sends a byte now and then, never silent for long, would hold a download for its
// whole deadline: each stretch of time must bring a minimum.
TEST_F(HttpsDownloadsTest, GivesUpOnAServerThatTrickles) {
  const auto fetchPaced = [&](const std::string& url) {
    const std::unique_ptr<UpdateDownloads> downloads = makeHttpsDownloads(
        DownloadPace{.silenceLimitMs = 5000, .windowMs = 2000, .minimumBytesPerWindow = 50});
    std::optional<Result> result;
    QEventLoop loop;
    downloads->fetchFile(url, downloadPath("paced"), plenty, hangMs, [&](Result answer) {
      result = std::move(answer);
      loop.quit();
    });
    QTimer::singleShot(hangMs, &loop, &QEventLoop::quit);
    loop.exec();
    return result ? *result : Result::failure("no result: the transfer hung");
  };
  const std::string trickle = server->url("/_/slow?bytes=100&interval=0.2");
  EXPECT_EQ(fetchPaced(trickle).error(),
            "couldn't fetch " + trickle + ": it sent fewer than 50 bytes in 2 seconds");
  EXPECT_FALSE(std::filesystem::exists(downloadPath("paced")));
  writeFile(servedPath("/whole.bin"), std::string(5000, 'x'));
  const Result whole = fetchPaced(server->url("/whole.bin"));
  ASSERT_TRUE(whole) << whole.error();
}

TEST_F(HttpsDownloadsTest, ABodyCutShortIsAFailure) {
  const std::string url = server->url("/_/truncated?claim=1000&bytes=100");
  EXPECT_THAT(fetchText(url).error(), StartsWith("couldn't fetch " + url + ": "));
  EXPECT_FALSE(fetchFile(url, downloadPath("truncated")));
}

TEST_F(HttpsDownloadsTest, FetchFileWritesOnlyANewFile) {
  const std::string url = server->url("/archive.bin");
  const std::string path = downloadPath("mine");
  writeFile(path, "mine");
  EXPECT_THAT(fetchFile(url, path).error(),
              StartsWith("couldn't save " + url + " to " + path + ": "));
  EXPECT_EQ(readFile(path), "mine");

  const std::string nowhere = downloadPath("no-folder/archive.bin");
  EXPECT_THAT(fetchFile(url, nowhere).error(),
              StartsWith("couldn't save " + url + " to " + nowhere + ": "));
}

TEST_F(HttpsDownloadsTest, DestroyingTheDownloadsAbandonsWhatIsPending) {
  auto downloads = makeHttpsDownloads();
  bool abandonedCalled = false;
  std::optional<Result> first;
  const std::string partial = downloadPath("slow");
  // The first result destroys the object, which abandons the two transfers still running.
  downloads->fetchText(server->url("/feed.xml"), plenty, timeoutMs, [&](Result result) {
    first = std::move(result);
    downloads.reset();
  });
  downloads->fetchText(server->url("/_/silent"), plenty, timeoutMs,
                       [&](const Result&) { abandonedCalled = true; });
  downloads->fetchFile(server->url("/_/slow?bytes=100&interval=0.05"), partial, plenty, timeoutMs,
                       [&](const Result&) { abandonedCalled = true; });
  QEventLoop loop;
  QTimer::singleShot(hangMs, &loop, &QEventLoop::quit);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (!downloads) loop.quit();
  });
  poll.start(10);
  loop.exec();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->value(), feed);
  EXPECT_FALSE(std::filesystem::exists(partial));

  // Later turns of the event loop bring nothing from the abandoned transfers.
  EXPECT_TRUE(fetchText(server->url("/feed.xml")));
  EXPECT_FALSE(abandonedCalled);
}

// A cancelled download stops at once; the same object then serves new transfers.
TEST_F(HttpsDownloadsTest, AbandoningStopsWhatIsPendingAndLeavesNoFile) {
  const auto downloads = makeHttpsDownloads();
  bool abandonedCalled = false;
  const std::string partial = downloadPath("slow");
  downloads->fetchText(server->url("/_/silent"), plenty, timeoutMs,
                       [&](const Result&) { abandonedCalled = true; });
  downloads->fetchFile(server->url("/_/slow?bytes=100&interval=0.05"), partial, plenty, timeoutMs,
                       [&](const Result&) { abandonedCalled = true; });
  downloads->fetchText("http://example.com/", plenty, timeoutMs,
                       [&](const Result&) { abandonedCalled = true; });  // refused, undelivered
  downloads->abandonAll();
  EXPECT_FALSE(std::filesystem::exists(partial));

  std::optional<Result> after;
  QEventLoop loop;
  downloads->fetchText(server->url("/feed.xml"), plenty, timeoutMs, [&](Result result) {
    after = std::move(result);
    loop.quit();
  });
  QTimer::singleShot(hangMs, &loop, &QEventLoop::quit);
  loop.exec();
  ASSERT_TRUE(after && *after) << (after ? after->error() : "no result");
  EXPECT_EQ(after->value(), feed);
  // Past the abandoned transfers' timeout: had they gone on, they would have failed by now.
  QEventLoop wait;
  QTimer::singleShot(2 * timeoutMs, &wait, &QEventLoop::quit);
  wait.exec();
  EXPECT_FALSE(abandonedCalled);
  EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(HttpsDownloadsTest, RefusesAnUntrustedServerAndFailsWhenOneIsDown) {
  HttpsServer untrusted(served->path().toStdString(), HttpsServer::Trust::untrusted);
  const std::string url = untrusted.url("/feed.xml");
  EXPECT_THAT(fetchText(url).error(),
              StartsWith("couldn't fetch " + url + ": the secure connection failed: "));
  // Trusted servers share their authority: a second one alive at once is trusted as well.
  const HttpsServer trusted(served->path().toStdString());
  EXPECT_TRUE(fetchText(trusted.url("/feed.xml")));

  untrusted.stop();
  const Result down = fetchText(url);
  EXPECT_THAT(down.error(), StartsWith("couldn't fetch " + url + ": "));
  EXPECT_THAT(down.error(), HasSubstr("refused"));
}

// The test authority stands in for the system's only on this machine: a real feed is checked
// against the system's trust store even in a build with tests.
TEST(TestAuthority, IsTrustedOnlyForLoopbackHosts) {
  for (const char* url : {"https://127.0.0.1:4443/feed.xml", "https://[::1]/feed.xml",
                          "https://localhost/feed.xml", "https://LOCALHOST:8443/a"})
    EXPECT_TRUE(mayTrustTestAuthority(QUrl(QString::fromLatin1(url)))) << url;
  for (const char* url : {"https://example.com/feed.xml", "https://localhost.example.com/",
                          "https://127.0.0.1.nip.io/", "https://10.0.0.1/", "https://[::2]/",
                          "https://user@example.org/localhost"})
    EXPECT_FALSE(mayTrustTestAuthority(QUrl(QString::fromLatin1(url)))) << url;
}

}  // namespace
}  // namespace jolstrand
