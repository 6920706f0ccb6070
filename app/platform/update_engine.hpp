#pragma once
// The update framework the Updater drives: it checks a feed on a schedule and on demand,
// downloads, verifies and installs updates, and asks the program's questions through
// UpdateEngineEvents. macOS: Sparkle's standard updater controller. Linux: our own engine, on
// for a portable installation. Tests use a fake. Main thread.

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace jolstrand {

class ProgramInfo;

/// What the engine asks and tells the program; answered by the Updater.
class UpdateEngineEvents {
 public:
  virtual ~UpdateEngineEvents() = default;
  /// The feed address to check, or none when this build has no usable feed.
  [[nodiscard]] virtual std::optional<std::string> feedURLString() const = 0;
  /// The update (displayVersion) is downloaded, verified and would be installed when the program
  /// quits. installNow installs it at once and restarts into it. Answers whether the program has
  /// taken the installation over.
  virtual bool willInstallUpdateOnQuit(const std::string& displayVersion,
                                       std::function<void()> installNow) = 0;
  /// An update check, download or installation stopped; description completes "update stopped: ".
  virtual void didAbortWithError(const std::string& description) = 0;
  [[nodiscard]] virtual bool supportsGentleScheduledUpdateReminders() const = 0;
  /// A scheduled check found an update: should the engine show it itself? immediateFocus is true
  /// when one of the program's windows is active.
  [[nodiscard]] virtual bool shouldHandleShowingScheduledUpdate(bool immediateFocus) = 0;
  /// An update was found; handleShowing says whether the engine shows it itself (its dialog),
  /// else the program announces it.
  virtual void willHandleShowingUpdate(bool handleShowing, const std::string& displayVersion) = 0;
  /// The user looked at the update (the engine's dialog was shown for it).
  virtual void didReceiveUserAttentionForUpdate() = 0;
  /// The engine's update session ends (installed, declined, failed or nothing found).
  virtual void willFinishUpdateSession() = 0;
};

class UpdateEngine {
 public:
  virtual ~UpdateEngine() = default;
  /// Starts the scheduled checks, once. None on success, else a description of why the engine
  /// cannot run (it then does nothing at all).
  [[nodiscard]] virtual std::optional<std::string> startUpdater() = 0;
  /// A check the user asked for: the engine shows what it finds, including "no update".
  virtual void checkForUpdates() = 0;
  /// Whether updates are downloaded in the background and installed without asking; kept by the
  /// engine across runs.
  [[nodiscard]] virtual bool automaticallyDownloadsUpdates() const = 0;
  virtual void setAutomaticallyDownloadsUpdates(bool on) = 0;
};

/// What the platform's engine is built from.
struct UpdateEngineContext {
  const ProgramInfo& program;  ///< the running build's Info.plist (build number, public key)
  std::string programPath;     ///< the running program's absolute path
  QSettings& settings;         ///< where the engine keeps its state (Linux)
};

/// The platform's engine; events must outlive it. Cheap and inert until startUpdater().
[[nodiscard]] std::unique_ptr<UpdateEngine> makeUpdateEngine(UpdateEngineEvents& events,
                                                             const UpdateEngineContext& context);

}  // namespace jolstrand
