#pragma once
// Every ten days, once, asks the user to consider supporting Jolstrand, until they say they have.
// The schedule lives in the program's settings ("supported", "supportRemindAt" in seconds since
// 1970); the first check runs 3 s after start(), then every 4 hours; nothing shows while the
// owner is busy. Owns its timers: once the reminder is gone they do nothing. Main thread only.

#include <QObject>
#include <QTimer>
#include <functional>

#include "companion_texts.hpp"
#include "support_alert.hpp"

class QSettings;

namespace jolstrand {

class Workspace;

class SupportReminder : public QObject {
  Q_OBJECT

 public:
  /// The current time in seconds since 1970.
  using Clock = std::function<double()>;
  /// Shows the alert and returns the answer.
  using Ask = std::function<SupportAnswer(const ReminderTexts&, int periodDays)>;

  /// settings and workspace (which opens the support page) must outlive the reminder.
  SupportReminder(QSettings& settings, Workspace& workspace, ReminderTexts texts,
                  Clock now = systemClock, Ask ask = askForSupport);

  /// True while no reminder may show. Default: never busy.
  std::function<bool()> busy = [] { return false; };

  /// Starts the checks; force (the --support-reminder flag) makes the first one skip the
  /// schedule, though not the busy test.
  void start(bool force);
  /// Whether start() has been called.
  [[nodiscard]] bool started() const { return timer_.isActive(); }

  /// One look at the schedule, as the timers run it; shows the alert when it is due.
  void check(bool force);

  static double systemClock();

 private:
  QSettings& settings_;
  Workspace& workspace_;
  ReminderTexts texts_;
  Clock now_;
  Ask ask_;
  QTimer timer_{this};
  bool asking_ = false;
};

}  // namespace jolstrand
