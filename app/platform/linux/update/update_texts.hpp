#pragma once
// Every text a user reads from the Linux update engine: its update dialog, the note that there is
// nothing newer, and the note that an update stopped. Linux only (macOS has Sparkle's own).
// "%1" and "%2" mark where a version or a description goes.

#include <QString>

namespace jolstrand {

struct UpdateTexts {
  QString windowTitle;
  QString headline;
  QString offer;  // %1: the new display version, %2: the running one
  QString releaseNotes;
  QString installButton;
  QString laterButton;
  QString downloading;  // %1: the new display version
  QString cancelButton;
  QString upToDate;
  QString upToDateDetail;  // %1: the running display version
  QString stopped;
  QString stoppedDetail;     // %1: what went wrong, worded to complete "the update stopped: "
  QString versionWithBuild;  // %1: a display version, %2: its build; where two versions read alike
};

[[nodiscard]] const UpdateTexts& updateTexts();

}  // namespace jolstrand
