#pragma once
// Reading a signed update feed, as ReleaseSigning::appcast writes it, into the update it offers.
//
// Nothing of a feed is read until its signature block verifies with the public key (the last
// block, over every byte before it). The signed text must then have exactly the writer's form:
// one element per line, each line ending in a line feed, the channel's lines in order, one or
// more items of the writer's lines in the writer's order, and nothing after "</rss>". Values are
// taken as the writer inserts them (unescaped), except the enclosure address, whose XML entities
// are decoded. A feed that departs from that form in any way is refused as a whole, except for
// lines of other XML vocabularies between an item's minimum system version and its description,
// which later writers may add and readers pass over (this program's own "jolstrand:archive"
// says what the archive is for). Only "https://" enclosure addresses are accepted. The minimum
// system version is read but has no meaning on Linux. Stateless; any thread.

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
  std::string os;         ///< what the archive is for ("linux"), empty when the feed does not say
  std::string arch;       ///< ("x86_64"), empty when the feed does not say
  friend bool operator==(const UpdateItem&, const UpdateItem&) = default;
};

/// Every item of the feed, in feed order, once its signature verifies with publicKey.
[[nodiscard]] Checked<std::vector<UpdateItem>> readFeedItems(std::string_view feed,
                                                             std::string_view publicKey);

/// The items of unsigned feed text, read as readFeedItems reads the signed text: for release
/// tooling that checks a feed before signing it.
[[nodiscard]] Checked<std::vector<UpdateItem>> readFeedText(std::string_view text);

/// An item's pubDate as the writer writes it ("Thu, 01 Jan 1970 00:00:00 +0000") in seconds since
/// 1970; none for any other form.
[[nodiscard]] std::optional<std::int64_t> pubDateSeconds(std::string_view pubDate);

/// What verified feeds have shown this installation before, kept between checks.
struct FeedHistory {
  std::string highestBuild;                ///< the highest build a feed offered for this machine
  std::optional<std::int64_t> newestDate;  ///< the newest pubDate of a feed, seconds since 1970
  friend bool operator==(const FeedHistory&, const FeedHistory&) = default;
};

/// This machine, as feed items name what their archives are for.
struct FeedTarget {
  std::string os;
  std::string arch;
};

/// How far a feed's date may lie behind the newest seen before the feed counts as stale (feeds
/// served from several places may be updated a little apart).
inline constexpr std::int64_t staleFeedSeconds = 24 * 60 * 60;

struct FeedChoice {
  std::optional<UpdateItem> update;  ///< the item to offer, if any
  FeedHistory seen;                  ///< the history with this feed in it
};

/// The update a verified feed's items offer this machine: the newest item for target (items that
/// name another os or arch are passed over; those that name none are for any) whose build is newer
/// than runningBuild and is not skippedBuild (one that failed to start here). Refused, with the
/// reason, when the feed is older than what was seen before: its highest build for this machine
/// is lower than seen.highestBuild (an old feed served again, perhaps to offer a build between the
/// running one and the newest), or its newest date lies more than staleFeedSeconds before
/// seen.newestDate.
[[nodiscard]] Checked<FeedChoice> chooseUpdate(const std::vector<UpdateItem>& items,
                                               std::string_view runningBuild,
                                               const FeedTarget& target, const FeedHistory& seen,
                                               std::string_view skippedBuild = {});

/// The newest item whose build is newer than runningBuild (the first of equal builds), or none
/// when the verified feed offers nothing newer.
[[nodiscard]] Checked<std::optional<UpdateItem>> newestUpdate(std::string_view feed,
                                                              std::string_view publicKey,
                                                              std::string_view runningBuild);

}  // namespace jolstrand
