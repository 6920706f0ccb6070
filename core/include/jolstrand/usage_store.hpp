#pragma once
// The launch history: one decaying score per entry id. Every launch adds 1 and a score halves
// every 14 days without launches. The records live in memory under a lock and the whole set is
// written to a small JSON file after every recorded launch, on a serial background queue, by an
// atomic replacement (a reader never sees a half-written file).
//
// scores() and recordLaunch() may be called from any thread. The destructor waits until every
// queued save has been written, so nothing recorded is lost at a normal exit.
//
// A missing, unreadable or malformed file at start makes the store start empty; the old file is
// then kept beside the new one as "usage.json.unreadable" when the first save replaces it.

#include <chrono>
#include <mutex>
#include <string>
#include <unordered_map>

#include "jolstrand/serial_queue.hpp"
#include "jolstrand/usage_scores.hpp"

namespace jolstrand {

class UsageStore {
 public:
  using Date = std::chrono::system_clock::time_point;

  struct Record {
    double score;    ///< as it stood at `updated`, before any decay since
    double updated;  ///< seconds since 1 January 2001 00:00:00 UTC
  };

  /// The time over which a score decays to half: 14 days, in seconds.
  static constexpr double halfLife = 1209600;

  /// Where the file lives: DATAHOME/Jolstrand/usage.json on Linux (HOME/.local/share when
  /// dataHome is empty), HOME/Library/Application Support/Jolstrand/usage.json on macOS.
  /// Nothing is created here.
  [[nodiscard]] static std::string defaultURL(const std::string& home, const std::string& dataHome);

  /// Binds the store to fileURL and loads it at once, on the calling thread.
  explicit UsageStore(std::string fileURL);
  UsageStore(const UsageStore&) = delete;
  UsageStore& operator=(const UsageStore&) = delete;
  ~UsageStore();

  /// Every recorded id with its score decayed to `now`; a moment before a record's last launch
  /// counts as no time at all.
  [[nodiscard]] UsageScores scores(Date now) const;

  /// Adds one launch of id at `now` and queues a save of all records. Returns at once.
  void recordLaunch(const std::string& id, Date now);

  /// Blocks until every save queued so far has been written (or has failed). For tests.
  void waitForSaves();

  /// Seconds since 1 January 2001 00:00:00 UTC, the file's unit of time.
  [[nodiscard]] static double referenceSeconds(Date date);

 private:
  void save(std::unordered_map<std::string, Record> snapshot);
  void write(const std::unordered_map<std::string, Record>& snapshot);

  const std::string fileURL_;
  bool keepUnreadableFile_ = false;  // after construction, touched only by save tasks
  mutable std::mutex lock_;
  std::unordered_map<std::string, Record> records_;
  SerialQueue saveQueue_{"jolstrand.usage.save"};  // last: drained before the rest goes
};

}  // namespace jolstrand
