#include "jolstrand/update/update_feed.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "jolstrand/release_signing.hpp"
#include "update/feed_text.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;
using Signing = ReleaseSigning;

const Signing::KeyPair& key() {
  static const Signing::KeyPair pair = Signing::makeKeyPair();
  return pair;
}

std::string feedFor(std::int64_t build, std::string_view url = "https://example.org/j.tar.gz",
                    std::string_view notes = "- Faster\n- Safer") {
  return Signing::appcast("archive bytes", "1." + std::to_string(build), build, notes, url, "12.0",
                          std::chrono::system_clock::time_point{}, key().privateKey);
}

// The unsigned text of a feed, changed by edit and signed again.
std::string edited(const std::string& feed, std::string_view from, std::string_view to) {
  std::string text(detail::signedText(feed));
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
  return Signing::signFeed(text, key().privateKey);
}

// A feed of several writer items, as release tooling would join them.
std::string feedWithBuilds(std::initializer_list<std::int64_t> builds) {
  std::string head, items, tail;
  for (const std::int64_t build : builds) {
    const std::string text(detail::signedText(feedFor(build)));
    const std::size_t item = text.find("<item>\n");
    const std::size_t end = text.find("</channel>\n");
    head = text.substr(0, item);
    items += text.substr(item, end - item);
    tail = text.substr(end);
  }
  return Signing::signFeed(head + items + tail, key().privateKey);
}

TEST(UpdateFeed, ReadsEveryFieldTheWriterWrites) {
  const std::string feed = Signing::appcast(
      "archive bytes", "2.1", 21, "Fixes:\n- a & b", "https://example.org/a?x=1&y=\"2\"", "12.0",
      std::chrono::system_clock::time_point{}, key().privateKey);
  const auto items = readFeedItems(feed, key().publicKey);
  ASSERT_TRUE(items) << items.error();
  ASSERT_EQ(items->size(), 1u);
  const UpdateItem& item = items->front();
  EXPECT_EQ(item.title, "Jolstrand 2.1");
  EXPECT_EQ(item.build, "21");
  EXPECT_EQ(item.displayVersion, "2.1");
  EXPECT_THAT(item.pubDate, HasSubstr("1970"));
  EXPECT_EQ(item.minimumSystemVersion, "12.0");
  EXPECT_EQ(item.notesHTML, "<p>Fixes: - a &amp; b</p>\n");
  EXPECT_EQ(item.url, "https://example.org/a?x=1&y=\"2\"");
  EXPECT_EQ(item.length, 13u);
  EXPECT_EQ(item.type, "application/octet-stream");
  EXPECT_TRUE(Signing::isSigned("archive bytes", item.signature, key().publicKey));
}

TEST(UpdateFeed, ReadsEmptyNotes) {
  const auto items = readFeedItems(feedFor(3, "https://example.org/j", ""), key().publicKey);
  ASSERT_TRUE(items) << items.error();
  EXPECT_EQ(items->front().notesHTML, "");
}

TEST(UpdateFeed, RefusesFeedsWhoseSignatureDoesNotVerify) {
  const std::string feed = feedFor(5);
  const std::string unsignedFeed(detail::signedText(feed));
  std::string flipped = feed;
  flipped[flipped.find("<sparkle:version>") + 17] ^= 1;
  const std::string otherKey = Signing::makeKeyPair().privateKey;
  const std::string signedByOther = Signing::signFeed(unsignedFeed, otherKey);
  for (const std::string& bad : {unsignedFeed, flipped, signedByOther}) {
    const auto items = readFeedItems(bad, key().publicKey);
    ASSERT_FALSE(items);
    EXPECT_THAT(items.error(), HasSubstr("signature does not verify"));
  }
  EXPECT_FALSE(readFeedItems(feed, "not a key"));
}

TEST(UpdateFeed, PicksTheNewestItemNewerThanTheRunningBuild) {
  const std::string feed = feedWithBuilds({9, 12, 10});
  const auto newest = newestUpdate(feed, key().publicKey, "9");
  ASSERT_TRUE(newest) << newest.error();
  ASSERT_TRUE(newest->has_value());
  EXPECT_EQ((*newest)->build, "12");
  EXPECT_EQ((*newest)->displayVersion, "1.12");

  for (const char* running : {"12", "12.0", "13"}) {
    const auto none = newestUpdate(feed, key().publicKey, running);
    ASSERT_TRUE(none) << none.error();
    EXPECT_FALSE(none->has_value()) << running;
  }
  const auto numeric = newestUpdate(feedFor(10), key().publicKey, "9");
  ASSERT_TRUE(numeric && numeric->has_value());  // 10 is newer than 9, not older as text
}

TEST(UpdateFeed, NewestUpdatePassesOnARefusal) {
  const auto refused =
      newestUpdate(std::string(detail::signedText(feedFor(5))), key().publicKey, "1");
  ASSERT_FALSE(refused);
  EXPECT_THAT(refused.error(), HasSubstr("signature"));
}

TEST(UpdateFeed, RefusesArchiveAddressesThatAreNotHttps) {
  for (const char* url : {"http://example.org/j.tar.gz", "file:///etc/passwd", "HTTPS://x/y",
                          "https:///path", "https://", "https://ex ample.org/", "ftp://x"}) {
    const auto items = readFeedItems(feedFor(4, url), key().publicKey);
    ASSERT_FALSE(items) << url;
    EXPECT_THAT(items.error(), HasSubstr("address")) << url;
  }
}

struct Corruption {
  const char* from;
  const char* to;
  const char* message;
};

TEST(UpdateFeed, RefusesSignedFeedsThatAreNotInTheWritersForm) {
  const std::string feed = feedFor(7);
  const Corruption corruptions[] = {
      {"<?xml version=\"1.0\"", "<?xml version=\"1.1\"", "line 1"},
      {"xmlns:sparkle=\"http", "xmlns:sparkle=\"xttp", "line 2"},
      {"<channel>\n", "<channel>\r\n", "line 3"},
      {"<item>\n", "<entry>\n", "no item"},
      {"<pubDate>", "<date>", "line 7"},
      {"<sparkle:version>7<", "<sparkle:version><", "sparkle:version is empty"},
      {"<sparkle:shortVersionString>1.7", "<sparkle:shortVersionString>", "is empty"},
      {"12.0</sparkle:minimumSystemVersion>", "12<0</sparkle:minimumSystemVersion>", "line 10"},
      {"]]></description>", "]]> </description>", "line 13"},
      {"<li>Faster</li>", "<li>Fast]]>er</li>", "not closed"},
      {"<enclosure url=", "<enclosure  url=", "line 14"},
      {"length=\"13\"", "length=\"-13\"", "length"},
      {"length=\"13\"", "length=\"0\"", "length"},
      {"length=\"13\"", "length=\"99999999999999999999999\"", "length"},
      {"length=\"13\"", "length=\"13 \"", "length"},
      {"length=\"13\" type", "length=\"13\" kind", "line 14"},
      {"type=\"application/octet-stream\"", "type=\"a&b\"", "type"},
      {"sparkle:edSignature=\"", "sparkle:edSignature=\"AAAA", "signature"},
      {"\"/>\n</item>", "\" />\n</item>", "line 14"},
      {"https://example.org", "https://exa&mple.org", "well-formed"},
      {"https://example.org", "https://exa<mple.org", "well-formed"},
      {"</item>\n", "</item>\n<item>\n", "line 17"},
      {"</rss>\n", "</rss>\n<!-- more -->\n", "goes on after"},
      {"</rss>\n", "</rss>", "line 17"},
      {"</channel>", "</channel >", "line 16"},
      {"Jolstrand 1.7", "Jolstrand \xff", "UTF-8"},
  };
  for (const Corruption& c : corruptions) {
    const auto items = readFeedItems(edited(feed, c.from, c.to), key().publicKey);
    ASSERT_FALSE(items) << c.from << " -> " << c.to;
    EXPECT_THAT(items.error(), HasSubstr(c.message)) << c.from << " -> " << c.to;
  }
  const auto withNul = readFeedItems(edited(feed, "Jolstrand 1.7", std::string("Jolstrand \0", 11)),
                                     key().publicKey);
  ASSERT_FALSE(withNul);
  EXPECT_THAT(withNul.error(), HasSubstr("UTF-8"));
}

TEST(UpdateFeed, RefusesAFeedSignedTwiceAsTheWriterNeverDoesThat) {
  const auto items =
      readFeedItems(Signing::signFeed(feedFor(6), key().privateKey), key().publicKey);
  ASSERT_FALSE(items);
  EXPECT_THAT(items.error(), HasSubstr("goes on after </rss>"));
}

TEST(UpdateFeed, RefusesEveryTruncationOfAFeed) {
  const std::string text(detail::signedText(feedFor(8)));
  for (std::size_t size = 0; size < text.size(); ++size) {
    EXPECT_FALSE(detail::parseFeedText(text.substr(0, size))) << size;
  }
  EXPECT_TRUE(detail::parseFeedText(text));
}

// What the writer adds now: the archive's target, on a line an older reader of the update
// framework's kind passes over, inside the signed text.
TEST(UpdateFeed, ReadsTheArchivesTargetAndPassesOverOtherVocabularies) {
  const std::string feed = Signing::appcast("archive bytes", "2.1", 21, "", "https://example.org/j",
                                            "12.0", std::chrono::system_clock::time_point{},
                                            key().privateKey, {"linux", "aarch64"});
  EXPECT_THAT(std::string(detail::signedText(feed)),
              HasSubstr("</sparkle:minimumSystemVersion>\n<jolstrand:archive "
                        "xmlns:jolstrand=\"urn:jolstrand:update:1\" os=\"linux\" "
                        "arch=\"aarch64\"/>\n<description>"));
  const std::string other = R"(<other:note xmlns:other="urn:x">text</other:note>)";
  for (const std::string& text : {feed, edited(feed, "<description>", other + "\n<description>")}) {
    const auto items = readFeedItems(text, key().publicKey);
    ASSERT_TRUE(items) << items.error();
    EXPECT_EQ(items->front().os, "linux");
    EXPECT_EQ(items->front().arch, "aarch64");
  }
  const auto plain = readFeedItems(feedFor(3), key().publicKey);
  ASSERT_TRUE(plain) << plain.error();
  EXPECT_EQ(plain->front().os, "");

  const Corruption corruptions[] = {
      {"os=\"linux\" ", "", "os=\"...\" arch=\"...\""},
      {"urn:jolstrand:update:1", "urn:elsewhere", "in the namespace urn:jolstrand:update:1"},
      {"<jolstrand:archive ", "<sparkle:archive ", "<description>"},
      {"arch=\"aarch64\"/>", "arch=\"aarch64\"><b/></jolstrand:archive>", "<description>"},
  };
  for (const Corruption& c : corruptions) {
    const auto items = readFeedItems(edited(feed, c.from, c.to), key().publicKey);
    ASSERT_FALSE(items) << c.to;
    EXPECT_THAT(items.error(), HasSubstr(c.message)) << c.to;
  }
}

TEST(UpdateFeed, ReadsTheWritersDates) {
  EXPECT_EQ(pubDateSeconds("Thu, 01 Jan 1970 00:00:00 +0000"), 0);
  EXPECT_EQ(pubDateSeconds("Fri, 31 Jan 2025 13:30:00 +0130"), 1738324800);
  EXPECT_EQ(pubDateSeconds("Wed, 31 Dec 1969 19:00:00 -0500"), 0);
  for (const char* wrong : {"", "Thu, 01 Jan 1970 00:00:00", "Thu, 32 Jan 1970 00:00:00 +0000",
                            "Thu, 01 Jun 1970 24:00:00 +0000", "Thu, 01 Foo 1970 00:00:00 +0000",
                            "Thu, 30 Feb 1970 00:00:00 +0000", "Thu,  1 Jan 1970 00:00:00 +0000"}) {
    EXPECT_EQ(pubDateSeconds(wrong), std::nullopt) << wrong;
  }
}

UpdateItem itemOf(std::string build, std::string arch = "", std::string date = "") {
  UpdateItem item;
  item.build = std::move(build);
  item.arch = std::move(arch);
  item.os = item.arch.empty() ? "" : "linux";
  item.pubDate = date.empty() ? "Sat, 01 Feb 2025 00:00:00 +0000" : std::move(date);
  return item;
}

// Once a verified feed has shown build 22 (or a date), a feed below it is an old one served
// again: it may not say "up to date" forever, nor offer a build between the running one and 22.
TEST(UpdateFeed, ChoosesTheNewestItemForThisMachineAndRefusesFeedsOlderThanSeen) {
  const FeedTarget here{"linux", "x86_64"};
  const std::int64_t february = 1738368000;
  const struct {
    const char* what;
    std::vector<UpdateItem> items;
    FeedHistory seen;
    std::string skipped;
    std::optional<std::string> chosen;  // the build offered
    FeedHistory after;
    const char* refusal;
  } cases[] = {
      {"a first feed", {itemOf("21"), itemOf("22")}, {}, "", "22", {"22", february}, nullptr},
      {"nothing newer", {itemOf("20")}, {}, "", std::nullopt, {"20", february}, nullptr},
      {"another architecture passed over",
       {itemOf("23", "aarch64"), itemOf("22", "x86_64")},
       {},
       "",
       "22",
       {"22", february},
       nullptr},
      {"only other architectures",
       {itemOf("23", "aarch64")},
       {},
       "",
       std::nullopt,
       {"", february},
       nullptr},
      {"a build that did not start here",
       {itemOf("22"), itemOf("21")},
       {},
       "22",
       "21",
       {"22", february},
       nullptr},
      {"the same feed again",
       {itemOf("22")},
       {"22", february},
       "",
       "22",
       {"22", february},
       nullptr},
      {"a newer feed",
       {itemOf("23")},
       {"22", february - 86400},
       "",
       "23",
       {"23", february},
       nullptr},
      {"an older build than seen",
       {itemOf("21")},
       {"22", february},
       "",
       std::nullopt,
       {},
       "offers build 21, older than build 22"},
      {"the running build after a newer one",
       {itemOf("20")},
       {"22", std::nullopt},
       "",
       std::nullopt,
       {},
       "older than build 22"},
      {"a date long before one seen",
       {itemOf("22", "", "Wed, 01 Jan 2025 00:00:00 +0000")},
       {"22", february},
       "",
       std::nullopt,
       {},
       "dated more than a day before"},
      {"a date within a day",
       {itemOf("22", "", "Fri, 31 Jan 2025 12:00:00 +0000")},
       {"22", february},
       "",
       "22",
       {"22", february},
       nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto choice = chooseUpdate(c.items, "20", here, c.seen, c.skipped);
    if (c.refusal) {
      ASSERT_FALSE(choice);
      EXPECT_THAT(choice.error(), HasSubstr(c.refusal));
      continue;
    }
    ASSERT_TRUE(choice) << choice.error();
    EXPECT_EQ(choice->update ? std::optional(choice->update->build) : std::nullopt, c.chosen);
    EXPECT_EQ(choice->seen, c.after);
  }
}

}  // namespace
}  // namespace jolstrand
