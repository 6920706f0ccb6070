#pragma once
// Stand-ins for the platform services the launcher's controllers are built from: a workspace
// that records what it is asked (applications, folders, web addresses) and paints each path's icon
// its own colour, a hot key that counts registrations and is pressed by the test, a Spotlight
// check the test sets, a login item the test can make refuse or wait for approval, and an update
// engine that records what it is asked and lets the test call back as the engine would. Each
// fake that the start-up calls also reports the call to `calls`, when set, so that a test sees
// their order across fakes.

#include <QColor>
#include <QUrl>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/hot_key_backend.hpp"
#include "platform/login_item.hpp"
#include "platform/spotlight_check.hpp"
#include "platform/update_engine.hpp"
#include "platform/workspace.hpp"

namespace jolstrand::testing {

/// Told of each call, by name, as a fake receives it.
using CallLog = std::function<void(const std::string& call)>;

class FakeWorkspace : public Workspace {
 public:
  void openApplication(const std::string& path, const std::string& token) override {
    opened.push_back(path);
    tokens.push_back(token);
  }
  void reveal(const std::string& path, const std::string& token) override {
    revealed.push_back(path);
    tokens.push_back(token);
  }
  void openURL(const QUrl& url) override { openedURLs.push_back(url); }
  QImage icon(const std::string& path, int points, qreal /*ratio*/) override {
    QImage image(points, points, QImage::Format_RGB32);
    image.fill(QColor::fromRgb(static_cast<QRgb>(std::hash<std::string>{}(path))));
    return image;
  }
  std::vector<std::string> opened;
  std::vector<std::string> revealed;
  std::vector<std::string> tokens;  ///< the activation token of each open and reveal
  std::vector<QUrl> openedURLs;
};

/// Answers registration n with status n (1, 2, ...), so a test sees which one is current.
class FakeHotKey : public HotKeyBackend {
 public:
  std::int32_t registerKey() override {
    if (calls) calls("register the hot key");
    return ++registrations;
  }
  void unregisterKey() override { ++unregistrations; }
  QString trigger() const override { return key; }
  bool userAddsShortcut() const override { return addedByUser; }
  bool addShortcut() override { return ++added, true; }
  bool removeShortcut() override { return ++removed, true; }
  /// A press, as the platform's backend delivers it: on the main thread.
  void press(const QString& activationToken = {}) { emit pressed(activationToken); }
  /// The desktop answers later, as the portal does.
  void answer(std::int32_t status) { emit statusChanged(status); }
  int registrations = 0;
  int unregistrations = 0;
  QString key;
  bool addedByUser = false;
  int added = 0;
  int removed = 0;
  CallLog calls;
};

class FakeSpotlight : public SpotlightCheck {
 public:
  bool holdsCommandSpace() override {
    if (calls) calls("check Spotlight");
    ++checks;
    return holds;
  }
  bool holds = false;
  int checks = 0;
  CallLog calls;
};

class FakeLoginItem : public LoginItem {
 public:
  LoginItemStatus status() override { return current; }
  std::optional<QString> enable() override { return change(afterEnable); }
  std::optional<QString> disable() override { return change(LoginItemStatus::NotRegistered); }
  void openApprovalSettings() override { ++approvalSettingsOpened; }
  QString place() const override { return folder; }
  LoginItemStatus current = LoginItemStatus::NotRegistered;
  /// What enabling leads to: RequiresApproval stands for a system that asks the user first.
  LoginItemStatus afterEnable = LoginItemStatus::Enabled;
  /// When set, every change is refused with this text and nothing changes.
  std::optional<QString> refusal;
  /// Where it lives, as the refusal's note names it.
  QString folder;
  int approvalSettingsOpened = 0;

 private:
  std::optional<QString> change(LoginItemStatus next) {
    if (refusal) return refusal;
    current = next;
    return std::nullopt;
  }
};

class FakeUpdateEngine : public UpdateEngine {
 public:
  explicit FakeUpdateEngine(UpdateEngineEvents& answers) : events(answers) {}
  std::optional<std::string> startUpdater() override {
    if (calls) calls("start the updater");
    ++starts;
    if (onStart) onStart();
    return startFailure;
  }
  void checkForUpdates() override { ++checks; }
  bool automaticallyDownloadsUpdates() const override { return automaticDownloads; }
  void setAutomaticallyDownloadsUpdates(bool on) override { automaticDownloads = on; }

  UpdateEngineEvents& events;
  /// Runs as the engine starts, so a test sees what was done before.
  std::function<void()> onStart;
  CallLog calls;
  /// When set, starting fails with this description.
  std::optional<std::string> startFailure;
  bool automaticDownloads = false;
  int starts = 0;
  int checks = 0;
};

}  // namespace jolstrand::testing
