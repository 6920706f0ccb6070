#include "updater.hpp"

#include <utility>

#include "jolstrand/log.hpp"
#include "program_info.hpp"

namespace jolstrand {
namespace {

// The feed is used only over HTTPS and only when the build also carries the key its updates are
// signed with; a missing value, or one that is not text, counts as empty.
std::optional<std::string> usableFeed(const ProgramInfo& info) {
  const std::string feed = info.value("JolstrandUpdateFeed").value_or("");
  const std::string key = info.value("SUPublicEDKey").value_or("");
  if (!feed.starts_with("https://") || key.empty()) return std::nullopt;
  return feed;
}

}  // namespace

Updater::Updater(const ProgramInfo& info, const EngineFactory& makeEngine,
                 std::function<void()> activateApplication)
    : feedURL_(usableFeed(info)),
      activateApplication_(std::move(activateApplication)),
      controller_(makeEngine(*this)) {}

Updater::~Updater() = default;

void Updater::start() {
  if (!feedURL_) {
    logLine("this build has no update feed, so it won't check for updates");
    return;
  }
  if (const auto failure = controller_->startUpdater()) {
    logLine("couldn't start checking for updates: " + *failure);
    return;
  }
  isOn_ = true;
}

void Updater::checkForUpdates() {
  waiting_.reset();
  activateApplication_();
  controller_->checkForUpdates();
}

std::optional<std::string> Updater::feedURLString() const {
  return feedURL_;
}

bool Updater::willInstallUpdateOnQuit(const std::string& displayVersion,
                                      std::function<void()> installNow) {
  logLine("installing " + displayVersion);
  installNow();
  return true;
}

void Updater::didAbortWithError(const std::string& description) {
  logLine("update stopped: " + description);
}

bool Updater::supportsGentleScheduledUpdateReminders() const {
  return true;
}

// The engine shows a scheduled update only when the program is already in front; otherwise the
// program announces it through its menu.
bool Updater::shouldHandleShowingScheduledUpdate(bool immediateFocus) {
  return immediateFocus;
}

void Updater::willHandleShowingUpdate(bool handleShowing, const std::string& displayVersion) {
  if (handleShowing) {
    activateApplication_();
    return;
  }
  waiting_ = displayVersion;
  logLine(displayVersion + " is available");
}

void Updater::didReceiveUserAttentionForUpdate() {
  waiting_.reset();
}

void Updater::willFinishUpdateSession() {
  waiting_.reset();
}

}  // namespace jolstrand
