#pragma once
// Linux: the login item as an XDG autostart entry, configHome/autostart/<id>.desktop, that
// starts the installed program. Present, starting this program and without Hidden=true (nor
// GNOME's X-GNOME-Autostart-enabled=false) means enabled; absent, hidden, unreadable or starting
// another program means not registered, and enabling writes it anew. It never waits for approval.
// The entry is replaced atomically, so a refusal leaves the old one or none.

#include <string>

#include "platform/login_item.hpp"

namespace jolstrand {

class XdgAutostartLoginItem : public LoginItem {
 public:
  /// configHome: the user's configuration folder (XDG_CONFIG_HOME, else ~/.config), from the
  /// Environment; program: the absolute path of the installed program to start.
  XdgAutostartLoginItem(std::string configHome, std::string program);

  [[nodiscard]] LoginItemStatus status() override;
  [[nodiscard]] std::optional<QString> enable() override;
  [[nodiscard]] std::optional<QString> disable() override;
  /// The autostart folder.
  [[nodiscard]] QString place() const override;

  /// Where the entry lives.
  [[nodiscard]] std::string entryPath() const;

 private:
  std::string configHome_;
  std::string program_;
};

/// The entry's text for the program, or nothing when its path cannot be written in an Exec line
/// (not absolute, not valid UTF-8, or holding a control character).
[[nodiscard]] std::optional<std::string> autostartEntry(const std::string& program);

}  // namespace jolstrand
