#include "jolstrand/usage_store.hpp"

#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "atomic_file.hpp"
#include "file_system.hpp"
#include "jolstrand/file_access.hpp"
#include "jolstrand/log.hpp"
#include "usage_file.hpp"

namespace jolstrand {
namespace {

// Seconds from the Unix epoch to 1 January 2001 00:00:00 UTC.
constexpr double referenceEpoch = 978307200;

// A usage file is a few kilobytes; far beyond this it is not ours.
constexpr std::size_t maxUsageFileBytes = 64 << 20;

double decayFactor(double elapsed) {
  return std::exp2(-std::max(elapsed, 0.0) / UsageStore::halfLife);
}

}  // namespace

std::string UsageStore::defaultURL(const std::string& home,
                                   [[maybe_unused]] const std::string& dataHome) {
#if defined(__APPLE__)
  return home + "/Library/Application Support/Jolstrand/usage.json";
#else
  return (dataHome.empty() ? home + "/.local/share" : dataHome) + "/Jolstrand/usage.json";
#endif
}

double UsageStore::referenceSeconds(Date date) {
  return std::chrono::duration<double>(date.time_since_epoch()).count() - referenceEpoch;
}

UsageStore::UsageStore(std::string fileURL) : fileURL_(std::move(fileURL)) {
  const std::string target = detail::writeTarget(fileURL_);
  detail::removeAbandonedTemporaries(target);
  const auto bytes = readRegularFile(fileURL_, maxUsageFileBytes).bytes;
  auto decoded = bytes ? detail::decodeUsage(*bytes) : std::nullopt;
  if (decoded) {
    records_ = std::move(*decoded);
    return;
  }
  struct stat info {};
  keepUnreadableFile_ = lstat(fileURL_.c_str(), &info) == 0 || errno != ENOENT;
}

UsageStore::~UsageStore() = default;  // the save queue, the last member, drains first

UsageScores UsageStore::scores(Date now) const {
  const double at = referenceSeconds(now);
  const std::lock_guard guard(lock_);
  UsageScores scores;
  scores.reserve(records_.size());
  for (const auto& [id, record] : records_) {
    scores[id] = record.score * decayFactor(at - record.updated);
  }
  return scores;
}

void UsageStore::recordLaunch(const std::string& id, Date now) {
  const double at = referenceSeconds(now);
  std::unordered_map<std::string, Record> snapshot;
  {
    const std::lock_guard guard(lock_);
    const auto found = records_.find(id);
    const double score = found == records_.end()
                             ? 1
                             : found->second.score * decayFactor(at - found->second.updated) + 1;
    records_[id] = {score, at};
    snapshot = records_;
  }
  save(std::move(snapshot));
}

void UsageStore::waitForSaves() {
  saveQueue_.waitUntilIdle();
}

void UsageStore::save(std::unordered_map<std::string, Record> snapshot) {
  saveQueue_.async([this, snapshot = std::move(snapshot)] { write(snapshot); });
}

// Runs on the save queue.
void UsageStore::write(const std::unordered_map<std::string, Record>& snapshot) {
  const std::string target = detail::writeTarget(fileURL_);
  std::error_code error;
  std::filesystem::create_directories(detail::folderOf(target), error);
  if (error) {
    logLine("couldn't save usage: couldn't create the folder " + detail::folderOf(target) + ": " +
            error.message());
    return;
  }
  const std::string keptAs = target + ".unreadable";
  const auto failure =
      detail::replaceFile(target, detail::encodeUsage(snapshot),
                          keepUnreadableFile_ ? std::optional(keptAs) : std::nullopt);
  if (failure) {
    logLine("couldn't save usage: " + *failure);
    return;
  }
  if (keepUnreadableFile_) {
    keepUnreadableFile_ = false;
    logLine("the usage file could not be read, so it was kept as " + keptAs);
  }
}

}  // namespace jolstrand
