#pragma once
// The launcher's side of updating: decides once whether this build may update at all (an
// "https://" feed in JolstrandUpdateFeed and a non-empty SUPublicEDKey in its Info.plist),
// starts the platform's update engine once, answers the engine's questions and keeps what the
// status menu shows: whether updating is on, and the version of an update that waits to be
// announced by the program (a gentle reminder). Main thread only.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/update_engine.hpp"

namespace jolstrand {

class Updater final : private UpdateEngineEvents {
 public:
  using EngineFactory = std::function<std::unique_ptr<UpdateEngine>(UpdateEngineEvents&)>;

  /// Reads the feed and key from info and makes the engine at once, with or without a feed.
  /// activateApplication brings the program forward before the engine shows anything.
  Updater(const ProgramInfo& info, const EngineFactory& makeEngine,
          std::function<void()> activateApplication);
  ~Updater() override;
  Updater(const Updater&) = delete;
  Updater& operator=(const Updater&) = delete;

  /// Starts the engine when this build has a feed; logs why not otherwise. Call once.
  void start();
  /// The menu's check / install entry: forgets the waiting version, then asks the engine.
  void checkForUpdates();

  [[nodiscard]] bool isOn() const { return isOn_; }
  [[nodiscard]] const std::optional<std::string>& waiting() const { return waiting_; }
  [[nodiscard]] const std::optional<std::string>& feedURL() const { return feedURL_; }
  /// The engine, for its automatic-download setting.
  [[nodiscard]] UpdateEngine& controller() { return *controller_; }

 private:
  [[nodiscard]] std::optional<std::string> feedURLString() const override;
  bool willInstallUpdateOnQuit(const std::string& displayVersion,
                               std::function<void()> installNow) override;
  void didAbortWithError(const std::string& description) override;
  [[nodiscard]] bool supportsGentleScheduledUpdateReminders() const override;
  [[nodiscard]] bool shouldHandleShowingScheduledUpdate(bool immediateFocus) override;
  void willHandleShowingUpdate(bool handleShowing, const std::string& displayVersion) override;
  void didReceiveUserAttentionForUpdate() override;
  void willFinishUpdateSession() override;

  const std::optional<std::string> feedURL_;
  const std::function<void()> activateApplication_;
  std::unique_ptr<UpdateEngine> controller_;
  bool isOn_ = false;
  std::optional<std::string> waiting_;
};

}  // namespace jolstrand
