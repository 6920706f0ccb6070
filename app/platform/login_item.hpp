#pragma once
// Whether the program starts when the user logs in, and switching that. One implementation per
// platform (macOS: the application's own login item in Service Management; Linux: an XDG
// autostart entry); tests use a fake. Main thread.

#include <QString>
#include <memory>
#include <optional>
#include <string>

namespace jolstrand {

/// The login item's states, with the values the status menu and its tests speak of.
enum class LoginItemStatus {
  NotRegistered = 0,
  Enabled = 1,
  RequiresApproval = 2,  ///< registered, waiting for the user to approve it in the settings
  NotFound = 3,          ///< the system cannot find the program to register
};

class LoginItem {
 public:
  virtual ~LoginItem() = default;
  /// Read afresh on every call.
  [[nodiscard]] virtual LoginItemStatus status() = 0;
  /// Both return nothing on success, else the system's description of why it refused; after a
  /// refusal the login item is as it was.
  [[nodiscard]] virtual std::optional<QString> enable() = 0;
  [[nodiscard]] virtual std::optional<QString> disable() = 0;
  /// Opens the settings where the user approves a login item that requires approval; nothing
  /// where approval is never asked for.
  virtual void openApprovalSettings() {}
  /// Where the login item lives, for the note after a refusal; empty where the note names none.
  [[nodiscard]] virtual QString place() const { return {}; }
};

/// The platform's login item. Linux: an autostart entry below configHome (the user's
/// configuration folder, from the Environment) that starts program, the installed program's
/// absolute path (QCoreApplication::applicationFilePath()). macOS: the application's own item
/// in Service Management, which ignores both.
[[nodiscard]] std::unique_ptr<LoginItem> makeLoginItem(std::string configHome, std::string program);

}  // namespace jolstrand
