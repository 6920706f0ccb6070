#include "jolstrand/release_signing.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <unordered_set>

#include "fixture_tree.hpp"
#include "scoped_variable.hpp"

namespace jolstrand {
namespace {

using ::testing::HasSubstr;
using ::testing::Optional;
using Signing = ReleaseSigning;
using KeyError = ReleaseSigning::KeyError;

std::string fromHex(std::string_view hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
  }
  return bytes;
}

std::string toHex(std::string_view bytes) {
  static constexpr char digits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += digits[static_cast<unsigned char>(c) >> 4];
    hex += digits[static_cast<unsigned char>(c) & 0xF];
  }
  return hex;
}

struct Vector {
  const char* seed;
  const char* publicKey;
  const char* message;
  const char* signature;
};

// RFC 8032, section 7.1, tests 1 to 3.
constexpr Vector rfc8032[] = {
    {"9d61b19deffd5a60ba844af492ec2cc44449c5697b326919703bac031cae7f60",
     "d75a980182b10ab7d54bfed3c964073a0ee172f3daa62325af021a68f707511a", "",
     "e5564300c360ac729086e2cc806e828a84877f1eb8e5d974d873e065224901555fb8821590a33bacc61e39701cf9"
     "b46bd25bf5f0595bbe24655141438e7a100b"},
    {"4ccd089b28ff96da9db6c346ec114e0f5b8a319f35aba624da8cf6ed4fb8a6fb",
     "3d4017c3e843895a92b70aa74d1b7ebc9c982ccf2ec4968cc0cd55f12af4660c", "72",
     "92a009a9f0d4cab8720e820b5f642540a2b27b5416503f8fb3762223ebdb69da085ac1e43e15996e458f3613d0f1"
     "1d8c387b2eaeb4302aeeb00d291612bb0c00"},
    {"c5aa8df43f9f837bedb7442f31dcb7b166d38535076f094b85ce3a2e0b4458f7",
     "fc51cd8e6218a1a38da47ed00230f0580816ed13ba3303ac5deb911548908025", "af82",
     "6291d657deec24024827e69c3abe01a30ce548a284743a445e3680d7db5ac3ac18ff9b538d16f290ae67f760984d"
     "c6594a7c15e9716ed28dc027beceea1ec40a"},
};

// Standard base64, written out here so the tests do not lean on the code they test.
std::string base64(std::string_view bytes) {
  static constexpr char alphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t chunk = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      chunk = (chunk << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0U);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? alphabet[(chunk >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

TEST(ReleaseSigningKeys, FollowTheRfc8032TestVectors) {
  for (const Vector& vector : rfc8032) {
    const std::string privateKey = base64(fromHex(vector.seed));
    EXPECT_EQ(Signing::publicKey(privateKey), base64(fromHex(vector.publicKey)));
    const std::string message = fromHex(vector.message);
    EXPECT_EQ(toHex(Signing::sign(message, privateKey)), vector.signature);
    EXPECT_TRUE(
        Signing::isSigned(message, fromHex(vector.signature), base64(fromHex(vector.publicKey))));
  }
}

TEST(ReleaseSigningKeys, MakesPairsWhoseHalvesBelongTogether) {
  const auto pair = Signing::makeKeyPair();
  EXPECT_EQ(pair.privateKey.size(), 44U);
  EXPECT_EQ(Signing::publicKey(pair.privateKey), pair.publicKey);
  EXPECT_NE(Signing::makeKeyPair().privateKey, pair.privateKey);
}

TEST(ReleaseSigningKeys, AcceptSurroundingWhiteSpaceOnly) {
  const auto pair = Signing::makeKeyPair();
  EXPECT_EQ(Signing::publicKey(pair.privateKey + "\n"), pair.publicKey);
  EXPECT_EQ(Signing::publicKey("  \t" + pair.privateKey + " \r\n"), pair.publicKey);
  const std::string broken = pair.privateKey.substr(0, 20) + "\n" + pair.privateKey.substr(20);
  EXPECT_THROW((void)Signing::publicKey(broken), KeyError);
  const std::string data = "data";
  const std::string signature = Signing::sign(data, pair.privateKey);
  EXPECT_TRUE(Signing::isSigned(data, signature, " " + pair.publicKey + "\n"));
  EXPECT_FALSE(Signing::isSigned(data, signature,
                                 pair.publicKey.substr(0, 20) + "\n" + pair.publicKey.substr(20)));
}

TEST(ReleaseSigningKeys, RefuseEverythingButThirtyTwoBytesOfBase64) {
  const std::string bad[] = {"",
                             "   ",
                             base64(std::string(31, 'k')),
                             base64(std::string(33, 'k')),
                             "not base64 at all!!!!!!!!!!!!!!!!!!!!!!!!!!!",
                             base64(std::string(32, 'k')).substr(0, 43)};  // padding missing
  for (const std::string& key : bad) {
    EXPECT_THROW((void)Signing::publicKey(key), KeyError) << key;
    EXPECT_THROW((void)Signing::sign("x", key), KeyError) << key;
    EXPECT_FALSE(Signing::isSigned("x", std::string(64, '\0'), key)) << key;
  }
  try {
    (void)Signing::sign("x", "");
    ADD_FAILURE();
  } catch (const KeyError& error) {
    EXPECT_EQ(error, KeyError(KeyError::badKey));
    EXPECT_EQ(std::unordered_set<KeyError>{error}.size(), 1U);
  }
}

TEST(ReleaseSigningKeys, RejectEveryChangedByteAndEveryOtherKey) {
  const auto pair = Signing::makeKeyPair();
  const std::string data = "the archive's bytes";
  const std::string signature = Signing::sign(data, pair.privateKey);
  EXPECT_TRUE(Signing::isSigned(data, signature, pair.publicKey));
  EXPECT_FALSE(Signing::isSigned(data, signature, Signing::makeKeyPair().publicKey));
  for (std::size_t i = 0; i < data.size(); ++i) {
    std::string changed = data;
    changed[i] = static_cast<char>(changed[i] ^ 1);
    EXPECT_FALSE(Signing::isSigned(changed, signature, pair.publicKey));
  }
  for (std::size_t i = 0; i < signature.size(); ++i) {
    std::string changed = signature;
    changed[i] = static_cast<char>(changed[i] ^ 0x80);
    EXPECT_FALSE(Signing::isSigned(data, changed, pair.publicKey));
  }
  EXPECT_FALSE(Signing::isSigned(data, signature.substr(0, 63), pair.publicKey));
  EXPECT_FALSE(Signing::isSigned(data, signature + "x", pair.publicKey));
}

// An independent Ed25519 implementation: OpenSSL's command line.
class OpenSslInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("openssl version >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs openssl";
  }
  testing::FixtureTree tree;
};

TEST_F(OpenSslInterop, VerifiesOurSignaturesAndWeVerifyItsOwn) {
  const Vector& vector = rfc8032[2];
  const std::string seed = fromHex(vector.seed);
  const std::string privateKey = base64(seed);
  const std::string message = "a release archive\n";
  // The raw keys wrapped in their standard DER prefixes.
  const std::string publicDer =
      tree.file("pub.der", fromHex("302a300506032b6570032100") + fromHex(vector.publicKey));
  const std::string privateDer =
      tree.file("key.der", fromHex("302e020100300506032b657004220420") + seed);
  const std::string messageFile = tree.file("message", message);
  const std::string ours = tree.file("ours.sig", Signing::sign(message, privateKey));
  EXPECT_EQ(
      std::system(("openssl pkeyutl -verify -pubin -inkey " + publicDer +
                   " -keyform DER -rawin -in " + messageFile + " -sigfile " + ours + " >/dev/null")
                      .c_str()),
      0);
  const std::string theirs = tree.path("theirs.sig");
  ASSERT_EQ(std::system(("openssl pkeyutl -sign -inkey " + privateDer +
                         " -keyform DER -rawin -in " + messageFile + " -out " + theirs)
                            .c_str()),
            0);
  EXPECT_TRUE(
      Signing::isSigned(message, testing::contents(theirs), Signing::publicKey(privateKey)));
}

TEST(ReleaseSigningFeeds, VerifyWhateverWasSignedEvenNothing) {
  const auto pair = Signing::makeKeyPair();
  for (const std::string& feed :
       {std::string(), std::string("<rss/>\n"), std::string("\0\xFF", 2)}) {
    const std::string signedFeed = Signing::signFeed(feed, pair.privateKey);
    EXPECT_TRUE(Signing::isSignedFeed(signedFeed, pair.publicKey));
    EXPECT_FALSE(Signing::isSignedFeed(signedFeed, Signing::makeKeyPair().publicKey));
    EXPECT_THAT(signedFeed, HasSubstr("\nlength: " + std::to_string(feed.size()) + "\n-->\n"));
  }
  EXPECT_THROW((void)Signing::signFeed("x", "bad"), KeyError);
}

TEST(ReleaseSigningFeeds, UseTheLastBlockWhenSignedTwice) {
  const auto pair = Signing::makeKeyPair();
  const std::string twice =
      Signing::signFeed(Signing::signFeed("<rss/>\n", pair.privateKey), pair.privateKey);
  EXPECT_TRUE(Signing::isSignedFeed(twice, pair.publicKey));
}

TEST(ReleaseSigningFeeds, FailOnAnyChangeButHarmlessTrailingText) {
  const auto pair = Signing::makeKeyPair();
  const std::string feed = "<rss>\n<channel/>\n</rss>\n";
  const std::string signedFeed = Signing::signFeed(feed, pair.privateKey);
  for (std::size_t i = 0; i < feed.size(); ++i) {
    std::string changed = signedFeed;
    changed[i] = static_cast<char>(changed[i] ^ 1);
    EXPECT_FALSE(Signing::isSignedFeed(changed, pair.publicKey)) << i;
  }
  const auto withLength = [&](const std::string& length) {
    std::string changed = signedFeed;
    const std::size_t at = changed.find("length: ") + 8;
    changed.replace(at, changed.find('\n', at) - at, length);
    return changed;
  };
  const std::string size = std::to_string(feed.size());
  EXPECT_TRUE(Signing::isSignedFeed(withLength("+" + size), pair.publicKey));
  EXPECT_TRUE(Signing::isSignedFeed(withLength(size + "  \t"), pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(withLength("twelve"), pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(withLength(std::to_string(feed.size() + 1)), pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(withLength("99999999999999999999999"), pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(withLength(""), pair.publicKey));

  EXPECT_TRUE(Signing::isSignedFeed(signedFeed + "<!-- a comment -->\n", pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(signedFeed + "length: 1\n", pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(signedFeed + "edSignature: AAAA\n", pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(signedFeed + "\xFF", pair.publicKey));  // tail not UTF-8

  std::string indented = signedFeed;
  indented.replace(indented.find("length:"), 0, " ");
  EXPECT_FALSE(Signing::isSignedFeed(indented, pair.publicKey));  // the length line is ignored
  std::string crlf = signedFeed;
  for (std::size_t at = feed.size(); (at = crlf.find('\n', at)) != std::string::npos; at += 2) {
    crlf.replace(at, 1, "\r\n");
  }
  EXPECT_FALSE(Signing::isSignedFeed(crlf, pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(feed, pair.publicKey));
  EXPECT_FALSE(Signing::isSignedFeed(feed + "<!-- sparkle-signatures:\n", pair.publicKey));
}

TEST(ReleaseSigningNotes, BecomeParagraphsAndLists) {
  EXPECT_EQ(Signing::notesHTML("Fixes:\n- a\n- b"), "<p>Fixes: - a - b</p>\n");
  EXPECT_EQ(Signing::notesHTML("- a\n- b\n\nThanks & more"),
            "<ul><li>a</li><li>b</li></ul>\n<p>Thanks &amp; more</p>\n");
  EXPECT_EQ(Signing::notesHTML("- a\r\n- <b>\r\n\r\nEnd ]]> \"q\""),
            "<ul><li>a</li><li>&lt;b&gt;</li></ul>\n<p>End ]]&gt; \"q\"</p>\n");
  EXPECT_EQ(Signing::notesHTML(""), "");
  EXPECT_EQ(Signing::notesHTML("\n\n\n\n"), "");
  EXPECT_EQ(Signing::notesHTML("one\n\n\ntwo\n"), "<p>one</p>\n<p>two</p>\n");
}

TEST(ReleaseSigningNotes, EscapeAttributes) {
  EXPECT_EQ(Signing::xmlAttr("https://x.example/a?b=1&c=\"2\"<3>'"),
            "https://x.example/a?b=1&amp;c=&quot;2&quot;&lt;3>'");
}

TEST(ReleaseSigningAppcast, WritesTheSignedFeed) {
  const auto pair = Signing::makeKeyPair();
  const std::string dmg = "disk image bytes";
  const auto date = std::chrono::system_clock::from_time_t(1735732800);  // 2025-01-01 12:00 UTC
  std::string feed;
  {
    const testing::ScopedVariable zone("TZ", "America/New_York");  // the feed's dates are UTC
    tzset();
    feed = Signing::appcast(dmg, "1.2", 42, "- Faster\n- Safer",
                            "https://example.com/J.dmg?a=1&b=\"2\"", "12.0", date, pair.privateKey);
  }
  tzset();
  const std::string body =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      "<rss version=\"2.0\" "
      "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">\n"
      "<channel>\n<title>Jolstrand</title>\n<item>\n<title>Jolstrand 1.2</title>\n"
      "<pubDate>Wed, 01 Jan 2025 07:00:00 -0500</pubDate>\n"
      "<sparkle:version>42</sparkle:version>\n"
      "<sparkle:shortVersionString>1.2</sparkle:shortVersionString>\n"
      "<sparkle:minimumSystemVersion>12.0</sparkle:minimumSystemVersion>\n"
      "<description><![CDATA[\n<ul><li>Faster</li><li>Safer</li></ul>\n]]></description>\n"
      "<enclosure url=\"https://example.com/J.dmg?a=1&amp;b=&quot;2&quot;\" length=\"16\" "
      "type=\"application/octet-stream\" sparkle:edSignature=\"" +
      base64(Signing::sign(dmg, pair.privateKey)) + "\"/>\n</item>\n</channel>\n</rss>\n";
  EXPECT_EQ(feed, Signing::signFeed(body, pair.privateKey));
  EXPECT_TRUE(Signing::isSignedFeed(feed, pair.publicKey));
  EXPECT_THAT(Signing::enclosureSignature(feed), Optional(Signing::sign(dmg, pair.privateKey)));
  EXPECT_THROW((void)Signing::appcast(dmg, "1", 1, "", "u", "12", date, "bad key"), KeyError);
}

TEST(ReleaseSigningEnclosure, TakesTheFirstNonEmptyAttribute) {
  const std::string first = base64("first");
  const std::string second = base64("second");
  EXPECT_THAT(
      Signing::enclosureSignature("<p>sparkle:edSignature=\"" + first +
                                  "\"</p><enclosure sparkle:edSignature=\"" + second + "\"/>"),
      Optional(std::string("first")));
  EXPECT_THAT(Signing::enclosureSignature("sparkle:edSignature=\"\" sparkle:edSignature=\"" +
                                          second + "\""),
              Optional(std::string("second")));
  EXPECT_EQ(Signing::enclosureSignature("sparkle:edSignature=\"not base64!\""), std::nullopt);
  EXPECT_EQ(Signing::enclosureSignature("sparkle:edSignature=\"" + first), std::nullopt);
  EXPECT_EQ(Signing::enclosureSignature("<enclosure/>"), std::nullopt);
  EXPECT_EQ(Signing::enclosureSignature("\xFF sparkle:edSignature=\"" + first + "\""),
            std::nullopt);
}

}  // namespace
}  // namespace jolstrand
