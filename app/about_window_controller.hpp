#pragma once
// The about window: the program's icon, name and version, what it is for and how to use it,
// that it is free with a link to the support page, and its copyright line. Built on the first
// show() and kept; closing only hides it. Main thread only.

#include <QIcon>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

#include "companion_texts.hpp"
#include "program_info.hpp"

class QWidget;

namespace jolstrand {

class Workspace;

/// What the program's Info.plist says of its version and copyright; none where a key is missing.
struct ProgramVersion {
  std::optional<QString> shortVersion;  // CFBundleShortVersionString
  std::optional<QString> buildNumber;   // CFBundleVersion
  std::optional<QString> copyright;     // NSHumanReadableCopyright
};

/// The three values as the program's own Info.plist gives them.
[[nodiscard]] ProgramVersion versionOf(const ProgramInfo& info);

class AboutWindowController : public QObject {
  Q_OBJECT

 public:
  /// icon: the program's own, shown at 96 points. workspace opens the support page and must
  /// outlive the controller.
  AboutWindowController(QIcon icon, ProgramVersion version, AboutTexts texts, Workspace& workspace);
  ~AboutWindowController() override;

  /// Builds the window the first time, then centres it and brings it to the front.
  void show();
  /// Opens the support page in the default browser (the link's action).
  void openDonate();

  /// The window, once built (none before the first show()).
  [[nodiscard]] QWidget* window() const { return window_.get(); }

 private:
  void build();

  QIcon icon_;
  ProgramVersion version_;
  AboutTexts texts_;
  Workspace& workspace_;
  std::unique_ptr<QWidget> window_;
};

}  // namespace jolstrand
