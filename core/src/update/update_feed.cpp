#include "jolstrand/update/update_feed.hpp"

#include "feed_text.hpp"
#include "jolstrand/release_signing.hpp"
#include "jolstrand/update/version_compare.hpp"

namespace jolstrand {

Checked<std::vector<UpdateItem>> readFeedItems(std::string_view feed, std::string_view publicKey) {
  if (!ReleaseSigning::isSignedFeed(feed, publicKey))
    return Checked<std::vector<UpdateItem>>::failure(
        "the feed's signature does not verify with the public key");
  return detail::parseFeedText(detail::signedText(feed));
}

Checked<std::optional<UpdateItem>> newestUpdate(std::string_view feed, std::string_view publicKey,
                                                std::string_view runningBuild) {
  const auto items = readFeedItems(feed, publicKey);
  if (!items) return Checked<std::optional<UpdateItem>>::failure(items.error());
  const UpdateItem* newest = nullptr;
  for (const UpdateItem& item : *items) {
    const std::string_view atLeast = newest ? std::string_view(newest->build) : runningBuild;
    if (compareVersions(item.build, atLeast) > 0) newest = &item;
  }
  if (!newest) return std::optional<UpdateItem>();
  return std::optional<UpdateItem>(*newest);
}

}  // namespace jolstrand
