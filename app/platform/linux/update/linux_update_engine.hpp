#pragma once
// The update engine on Linux, in Sparkle's place: on for a portable installation whose build has
// an https feed and a public key. It checks the feed about a minute after it starts and then once
// a day, and whenever the user asks; it keeps in the settings the time of the last check
// ("lastUpdateCheckAt", seconds since 1970) and whether to download updates automatically
// ("automaticallyDownloadsUpdates", off unless set). Nothing of a feed is used unless its
// signature verifies with the build's key, and only an item with a newer build counts. A found
// update is shown in the engine's dialog (a check the user asked for, or a scheduled one in
// immediate focus), left to the program to announce (a scheduled one otherwise), or, with
// automatic downloads on, downloaded and verified in the background and offered to the program
// for installing when it quits. Installing replaces the installation only with an archive whose
// length and signature verify and whose program runs here, then restarts into the new version,
// watched so that a version that does not come up is undone; every failure is reported once
// through didAbortWithError and leaves the installation as it was.
//
// Feeds cannot take the installation back: the settings keep the highest build a verified feed
// offered this machine ("highestBuildSeen") and its newest date ("newestFeedDate"), and a feed
// below either is refused (logged once, however often it is served). Items for another system or
// architecture are passed over, and so is a build that did not start here ("failedUpdateBuild").
// Around an installation the settings name the build being installed ("updateInstallingBuild")
// and the folder the old version is put aside in ("updateReplacedFolder"), so that the next start,
// of either version, knows how it went and removes exactly that folder. Transfers run in the
// background; installing (checking, unpacking, swapping) runs on the main thread.
//
// Everything it acts through is handed in, so that tests can stand in for the network, the
// installation, the clock, the focus and the user. Owns its transfers and dialogs: once the engine
// is gone, nothing of it runs. Main thread only.

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jolstrand/update/checked.hpp"
#include "jolstrand/update/update_feed.hpp"
#include "platform/linux/update/portable_installation.hpp"
#include "platform/linux/update/restart_after_quit.hpp"
#include "platform/linux/update/update_downloads.hpp"
#include "platform/linux/update/update_presenter.hpp"
#include "platform/update_engine.hpp"

class QSettings;
class QTemporaryDir;

namespace jolstrand {

/// The running program, as the engine compares and restarts it.
struct RunningBuild {
  std::string build;           ///< CFBundleVersion
  std::string displayVersion;  ///< CFBundleShortVersionString
  std::string publicKey;       ///< SUPublicEDKey: base64 of the Ed25519 public key
  std::string programPath;     ///< the running program's absolute path
  std::string arch;            ///< the architecture feeds name this machine's archives by
  /// Its command-line arguments; a restart passes them on, less those that open a window once.
  std::vector<std::string> arguments;
};

/// Starts program with arguments once the running one has quit, able to go back as rollback says
/// (restart_after_quit.hpp).
using UpdateRestart = std::function<void(std::string program, std::vector<std::string> arguments,
                                         RestartRollback rollback)>;

/// The installation's operations (portable_installation.hpp, restart_after_quit.hpp).
struct UpdateInstaller {
  std::function<Checked<PortableInstallation>(const std::string& programPath)> find;
  std::function<Checked<std::string>(const PortableInstallation&, const std::string& archivePath,
                                     const UpdateItem&, std::string_view publicKey,
                                     std::string_view runningBuild)>
      install;
  std::function<void(const PortableInstallation&, const std::string& replacedFolder)>
      removeLeftovers;
  UpdateRestart restart;
};

/// What the engine acts through.
struct UpdateEngineParts {
  std::unique_ptr<UpdateDownloads> downloads;
  UpdateInstaller installer;
  std::function<double()> now;             ///< the time in seconds since 1970
  std::function<bool()> inImmediateFocus;  ///< whether a window of the program is active
  std::unique_ptr<UpdatePresenter> presenter;
};

/// The engine as makeUpdateEngine makes it, with its real parts (HTTPS transfers, the portable
/// installation, the clock, the program's windows, Qt dialogs), but restarting through restart
/// (makeUpdateEngine passes restartAfterQuit): for tests that go through a whole update.
[[nodiscard]] std::unique_ptr<UpdateEngine> makeLinuxUpdateEngine(
    UpdateEngineEvents& events, const UpdateEngineContext& context, UpdateRestart restart);

class LinuxUpdateEngine final : public QObject, public UpdateEngine {
 public:
  /// The most a feed may hold.
  static constexpr std::uint64_t maxFeedBytes = std::uint64_t{2} << 20;
  /// How long a feed may take: a check from the menu against a silent server soon says so.
  static constexpr int feedTimeoutMs = 30 * 1000;
  /// How long an archive may take, from its start to its end, on a slow connection too.
  static constexpr int archiveTimeoutMs = 30 * 60 * 1000;

  /// events and settings must outlive the engine. Inert until startUpdater().
  LinuxUpdateEngine(UpdateEngineEvents& events, RunningBuild build, QSettings& settings,
                    UpdateEngineParts parts);
  ~LinuxUpdateEngine() override;

  /// Refuses (with the reason) a feed that is missing or not https, a build without a build
  /// number or a usable public key, and a program that is not in a portable installation.
  /// Otherwise removes what an earlier update left behind and schedules the checks. Once: later
  /// calls answer as the first did.
  [[nodiscard]] std::optional<std::string> startUpdater() override;
  /// Brings the dialog forward while it is open; joins a check that is under way; while an
  /// update downloads in the background, shows its offer; otherwise ignored while an update is
  /// being downloaded or installed.
  void checkForUpdates() override;
  [[nodiscard]] bool automaticallyDownloadsUpdates() const override;
  void setAutomaticallyDownloadsUpdates(bool on) override;

  /// A check as the schedule makes it (shown only in immediate focus); the engine's timer calls
  /// it once the clock says one is due.
  void runScheduledCheck();

 private:
  enum class Phase { idle, checking, offering, downloading, readyToInstall, installing };

  [[nodiscard]] std::optional<std::string> refusalToStart();
  /// Learns from the settings how the last installation went, and removes what it left.
  void settleLastInstallation();
  [[nodiscard]] double secondsUntilCheck() const;
  void armCheckTimer();
  void check(bool userInitiated);
  void feedArrived(const Checked<std::string>& feed);
  [[nodiscard]] UpdateOffer offer() const;
  void showOffer();
  /// A check from the menu while an update downloads in the background: the offer, whose Install
  /// shows the download under way.
  void offerDuringDownload();
  /// Shows the download in progress to the user, who may cancel it.
  void watchDownload(const std::function<bool()>& current);
  void download(std::function<void()> downloaded);
  void downloadedInBackground();
  void install(bool restart);
  void stop(const std::string& reason);
  void finishSession();
  void becomeIdle();
  /// True while this engine lives and the session that made the guard goes on.
  [[nodiscard]] std::function<bool()> sessionGuard();

  UpdateEngineEvents& events_;
  const RunningBuild build_;
  QSettings& settings_;
  UpdateInstaller installer_;
  std::function<double()> now_;
  std::function<bool()> inImmediateFocus_;
  std::unique_ptr<UpdatePresenter> presenter_;
  QTimer checkTimer_{this};

  bool startAttempted_ = false;
  std::optional<std::string> refusal_;
  std::optional<std::string> lastFeedRefusal_;  // logged once, not at every check
  std::string feedURL_;
  std::optional<PortableInstallation> installation_;
  double startedAt_ = 0;

  Phase phase_ = Phase::idle;
  bool userInitiated_ = false;
  bool installAtQuit_ = false;
  std::uint64_t session_ = 0;
  std::optional<UpdateItem> item_;
  std::shared_ptr<QTemporaryDir> downloadFolder_;
  std::string archivePath_;

  // Last, so that it goes first: its pending transfers are abandoned before anything they use.
  std::unique_ptr<UpdateDownloads> downloads_;
};

}  // namespace jolstrand
