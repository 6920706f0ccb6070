// Arbitrary bytes as an update feed: reading its items may never crash, hang or throw, and what
// it accepts must be safe to act on. The text before any signature block goes to the parser
// directly (a fuzzer cannot forge signatures); whenever the parser accepts it, the text is signed
// with a throw-away key and must then read the same through the public, verifying reader.

#include <cstddef>
#include <cstdint>
#include <string>

#include "jolstrand/release_signing.hpp"
#include "jolstrand/update/update_feed.hpp"
#include "jolstrand/update/version_compare.hpp"
#include "update/feed_text.hpp"

namespace {

const jolstrand::ReleaseSigning::KeyPair& key() {
  static const auto pair = jolstrand::ReleaseSigning::makeKeyPair();
  return pair;
}

void check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace jolstrand;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  check(!readFeedItems(bytes, key().publicKey));  // never signed with this key

  const std::string text(detail::signedText(bytes));
  const auto parsed = detail::parseFeedText(text);
  if (!parsed) return 0;
  for (const UpdateItem& item : *parsed) {
    check(item.url.starts_with("https://") && item.url.size() > 8);
    check(item.signature.size() == 64 && item.length > 0 && !item.build.empty());
  }
  const std::string signedFeed = ReleaseSigning::signFeed(text, key().privateKey);
  const auto verified = readFeedItems(signedFeed, key().publicKey);
  check(verified && *verified == *parsed);
  const std::string running = parsed->front().build;
  const auto newest = newestUpdate(signedFeed, key().publicKey, running);
  check(newest.ok());
  if (newest->has_value()) check(compareVersions((*newest)->build, running) > 0);
  return 0;
}
