#include "support_reminder.hpp"

#include <QDateTime>
#include <QSettings>
#include <utility>

#include "platform/workspace.hpp"
#include "support_page.hpp"
#include "support_schedule.hpp"

namespace jolstrand {
namespace {

const QString supportedKey = QStringLiteral("supported");
const QString remindAtKey = QStringLiteral("supportRemindAt");
constexpr int firstCheckMilliseconds = 3000;
constexpr int checkIntervalMilliseconds = 14400 * 1000;

// A flag as the user defaults read one: a number is true when not 0, a text when it says so.
bool readFlag(const QVariant& value) {
  bool isNumber = false;
  const double number = value.toDouble(&isNumber);
  if (isNumber) return number != 0;
  const QString text = value.toString().trimmed().toLower();
  return text == QLatin1String("true") || text == QLatin1String("yes");
}

double readSeconds(const QVariant& value) {
  bool isNumber = false;
  const double seconds = value.toDouble(&isNumber);
  return isNumber ? seconds : 0;
}

}  // namespace

SupportReminder::SupportReminder(QSettings& settings, Workspace& workspace, ReminderTexts texts,
                                 Clock now, Ask ask)
    : settings_(settings),
      workspace_(workspace),
      texts_(std::move(texts)),
      now_(std::move(now)),
      ask_(std::move(ask)) {
  timer_.setInterval(checkIntervalMilliseconds);
  connect(&timer_, &QTimer::timeout, this, [this] { check(false); });
}

double SupportReminder::systemClock() {
  return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000;
}

void SupportReminder::start(bool force) {
  QTimer::singleShot(firstCheckMilliseconds, this, [this, force] { check(force); });
  timer_.start();
}

void SupportReminder::check(bool force) {
  // The alert runs a loop of its own, in which the next check may come due: one at a time.
  if (asking_) return;
  const bool supported = readFlag(settings_.value(supportedKey));
  const double remindAt = readSeconds(settings_.value(remindAtKey));
  switch (supportCheck(supported, remindAt, now_(), force, busy())) {
    case SupportCheck::wait:
      return;
    case SupportCheck::schedule:
      settings_.setValue(remindAtKey, now_() + supportReminderPeriod);
      settings_.sync();
      return;
    case SupportCheck::show:
      break;
  }
  asking_ = true;
  const SupportAnswer answer = ask_(texts_, static_cast<int>(supportReminderPeriod / 86400));
  asking_ = false;
  // Quitting while it is open answers nothing: it is asked again at the next start.
  if (answer == SupportAnswer::unanswered) return;
  if (answer == SupportAnswer::alreadySupported) {
    settings_.setValue(supportedKey, true);
  } else {
    settings_.setValue(remindAtKey, now_() + supportReminderPeriod);
  }
  settings_.sync();
  if (answer == SupportAnswer::openSupportPage) workspace_.openURL(supportPageURL());
}

}  // namespace jolstrand
