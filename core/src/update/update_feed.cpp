#include "jolstrand/update/update_feed.hpp"

#include <algorithm>
#include <chrono>
#include <iterator>

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

Checked<std::vector<UpdateItem>> readFeedText(std::string_view text) {
  return detail::parseFeedText(text);
}

std::optional<std::int64_t> pubDateSeconds(std::string_view text) {
  // "EEE, dd MMM yyyy HH:mm:ss Z": "Thu, 01 Jan 1970 00:00:00 +0000".
  static constexpr std::string_view months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (text.size() != 31 || text[3] != ',' || text[4] != ' ' || text[7] != ' ' || text[11] != ' ' ||
      text[16] != ' ' || text[19] != ':' || text[22] != ':' || text[25] != ' ' ||
      (text[26] != '+' && text[26] != '-'))
    return std::nullopt;
  const auto number = [&](std::size_t at, std::size_t count) -> std::optional<int> {
    int value = 0;
    for (const char c : text.substr(at, count)) {
      if (c < '0' || c > '9') return std::nullopt;
      value = value * 10 + (c - '0');
    }
    return value;
  };
  const auto day = number(5, 2), year = number(12, 4), hour = number(17, 2), minute = number(20, 2),
             second = number(23, 2), offsetHours = number(27, 2), offsetMinutes = number(29, 2);
  const auto month = std::find(std::begin(months), std::end(months), text.substr(8, 3));
  if (!day || !year || !hour || !minute || !second || !offsetHours || !offsetMinutes ||
      month == std::end(months) || *hour > 23 || *minute > 59 || *second > 60 ||
      *offsetMinutes > 59)
    return std::nullopt;
  using namespace std::chrono;
  const year_month_day date{std::chrono::year(*year),
                            std::chrono::month(static_cast<unsigned>(month - months + 1)),
                            std::chrono::day(static_cast<unsigned>(*day))};
  if (!date.ok()) return std::nullopt;
  const std::int64_t offset = (*offsetHours * 60 + *offsetMinutes) * 60;
  return sys_days(date).time_since_epoch().count() * std::int64_t{86400} + *hour * 3600 +
         *minute * 60 + *second - (text[26] == '+' ? offset : -offset);
}

Checked<FeedChoice> chooseUpdate(const std::vector<UpdateItem>& items,
                                 std::string_view runningBuild, const FeedTarget& target,
                                 const FeedHistory& seen, std::string_view skippedBuild) {
  const auto forHere = [&](const UpdateItem& item) {
    return (item.os.empty() || item.os == target.os) &&
           (item.arch.empty() || item.arch == target.arch);
  };
  FeedChoice choice{.update = std::nullopt, .seen = seen};
  const UpdateItem* highest = nullptr;
  const UpdateItem* newest = nullptr;
  std::optional<std::int64_t> date;
  for (const UpdateItem& item : items) {
    if (const auto seconds = pubDateSeconds(item.pubDate); seconds && (!date || *seconds > *date))
      date = seconds;
    if (!forHere(item)) continue;
    if (!highest || compareVersions(item.build, highest->build) > 0) highest = &item;
    if (item.build == skippedBuild) continue;
    const std::string_view atLeast = newest ? std::string_view(newest->build) : runningBuild;
    if (compareVersions(item.build, atLeast) > 0) newest = &item;
  }
  if (highest && !seen.highestBuild.empty() &&
      compareVersions(highest->build, seen.highestBuild) < 0)
    return Checked<FeedChoice>::failure("the feed offers build " + highest->build +
                                        ", older than build " + seen.highestBuild +
                                        " that it offered before: an old feed served again");
  if (date && seen.newestDate && *date < *seen.newestDate - staleFeedSeconds)
    return Checked<FeedChoice>::failure(
        "the feed is dated more than a day before one read earlier: an old feed served again");
  if (highest && (choice.seen.highestBuild.empty() ||
                  compareVersions(highest->build, choice.seen.highestBuild) > 0))
    choice.seen.highestBuild = highest->build;
  if (date && (!choice.seen.newestDate || *date > *choice.seen.newestDate))
    choice.seen.newestDate = date;
  if (newest) choice.update = *newest;
  return choice;
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
