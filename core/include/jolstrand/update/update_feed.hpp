#pragma once
// Reading a signed update feed, as ReleaseSigning::appcast writes it, into the update it offers.
//
// Nothing of a feed is read until its signature block verifies with the public key (the last
// block, over every byte before it). The signed text must then have exactly the writer's form:
// one element per line, each line ending in a line feed, the channel's lines in order, one or
// more items of the writer's lines in the writer's order, and nothing after "</rss>". Values are
// taken as the writer inserts them (unescaped), except the enclosure address, whose XML entities
// are decoded. A feed that departs from that form in any way is refused as a whole. Only
// "https://" enclosure addresses are accepted. The minimum system version is read but has no
// meaning on Linux. Stateless; any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jolstrand/update/checked.hpp"

namespace jolstrand {

/// One item of a feed.
struct UpdateItem {
  std::string title;
  std::string build;           ///< sparkle:version, compared with compareVersions
  std::string displayVersion;  ///< sparkle:shortVersionString
  std::string pubDate;
  std::string minimumSystemVersion;
  std::string notesHTML;  ///< the description, as HTML
  std::string url;        ///< the archive's address, always "https://..."
  std::uint64_t length = 0;
  std::string type;
  std::string signature;  ///< the archive's Ed25519 signature, 64 raw bytes
  friend bool operator==(const UpdateItem&, const UpdateItem&) = default;
};

/// Every item of the feed, in feed order, once its signature verifies with publicKey.
[[nodiscard]] Checked<std::vector<UpdateItem>> readFeedItems(std::string_view feed,
                                                             std::string_view publicKey);

/// The newest item whose build is newer than runningBuild (the first of equal builds), or none
/// when the verified feed offers nothing newer.
[[nodiscard]] Checked<std::optional<UpdateItem>> newestUpdate(std::string_view feed,
                                                              std::string_view publicKey,
                                                              std::string_view runningBuild);

}  // namespace jolstrand
