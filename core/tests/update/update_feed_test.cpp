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

}  // namespace
}  // namespace jolstrand
