#pragma once
// Fetching a feed or an archive for the update engine: HTTPS only, redirects followed only to
// other "https://" addresses, at most a given number of bytes, and given up after a time without
// completion, a shorter one in which the server sent nothing, or a minute in which it sent less
// than a trickle, so that no server can make the program wait or fill the disk. Certificates are
// checked against the system's trust store; builds with tests trust instead, for loopback hosts
// only, the certificate authority in the file JOLSTRAND_TEST_CA_FILE names, when it is set
// (test_authority.hpp). Main thread; results arrive on a later turn of the event loop, never inside
// the call.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "jolstrand/update/checked.hpp"

namespace jolstrand {

class UpdateDownloads {
 public:
  /// The bytes fetched (fetchText) or the file written (fetchFile), or what went wrong, worded
  /// to complete "update stopped: ".
  using Done = std::function<void(Checked<std::string> result)>;

  virtual ~UpdateDownloads() = default;
  /// Fetches url into memory, failing once timeoutMs have passed from the start without the
  /// whole answer. done is called exactly once, unless this object goes first (pending transfers
  /// are then abandoned without a call).
  virtual void fetchText(const std::string& url, std::uint64_t maxBytes, int timeoutMs,
                         Done done) = 0;
  /// Downloads url into a new file at path; done gets path. A failed download leaves no file.
  virtual void fetchFile(const std::string& url, const std::string& path, std::uint64_t maxBytes,
                         int timeoutMs, Done done) = 0;
  /// Stops every pending transfer, as destroying this object would: done is not called for any
  /// of them, nor for a result not yet delivered, and their files are removed.
  virtual void abandonAll() = 0;
};

/// How long a transfer may go without receiving anything before it fails.
inline constexpr int defaultSilenceLimitMs = 60 * 1000;

/// How slowly a server may send before a transfer fails.
struct DownloadPace {
  int silenceLimitMs = defaultSilenceLimitMs;       ///< with nothing received at all
  int windowMs = 60 * 1000;                         ///< each such stretch of time ...
  std::uint64_t minimumBytesPerWindow = 32 * 1024;  ///< ... brings at least this much
};

/// Transfers over Qt Network.
[[nodiscard]] std::unique_ptr<UpdateDownloads> makeHttpsDownloads(
    int silenceLimitMs = defaultSilenceLimitMs);
[[nodiscard]] std::unique_ptr<UpdateDownloads> makeHttpsDownloads(const DownloadPace& pace);

}  // namespace jolstrand
