#include "support_reminder.hpp"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "fakes.hpp"
#include "support_page.hpp"

namespace jolstrand {
namespace {

constexpr double launch = 1'800'000'000;
constexpr double tenDays = 864000;

class SupportReminderTest : public ::testing::Test {
 protected:
  QTemporaryDir folder;
  QString path = folder.filePath(QStringLiteral("settings.ini"));
  std::optional<QSettings> settings{std::in_place, path, QSettings::IniFormat};
  testing::FakeWorkspace workspace;
  double now = launch;
  int asked = 0;
  SupportAnswer answer = SupportAnswer::remindLater;
  SupportReminder reminder{*settings, workspace, macOSCompanionTexts().reminder,
                           [this] { return now; },
                           [this](const ReminderTexts& /*texts*/, int days) {
                             EXPECT_EQ(days, 10);
                             ++asked;
                             if (whileAsking) whileAsking();
                             return answer;
                           }};
  std::function<void()> whileAsking;  // runs inside the alert's loop

  QVariant stored(const char* key) {
    // Read back from the file, as the next launch will.
    return QSettings(path, QSettings::IniFormat).value(QLatin1String(key));
  }
};

TEST_F(SupportReminderTest, AFirstLaunchSchedulesTenDaysAheadWithoutShowing) {
  reminder.check(false);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + tenDays);
  EXPECT_FALSE(stored("supported").isValid());
  now = launch + tenDays - 1;
  reminder.check(false);
  EXPECT_EQ(asked, 0);
}

TEST_F(SupportReminderTest, ShowsExactlyAtTheScheduledMoment) {
  settings->setValue("supportRemindAt", launch);
  reminder.check(false);
  EXPECT_EQ(asked, 1);
}

TEST_F(SupportReminderTest, LeavesEverythingAsItIsWhileTheOwnerIsBusy) {
  settings->setValue("supportRemindAt", launch - 5);
  bool busy = true;
  reminder.busy = [&] { return busy; };
  reminder.check(false);
  reminder.check(true);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch - 5);
  busy = false;  // the next four-hourly check tries again
  reminder.check(false);
  EXPECT_EQ(asked, 1);
}

TEST_F(SupportReminderTest, AForcedCheckShowsEvenAfterTheUserSupportedIt) {
  settings->setValue("supported", true);
  settings->setValue("supportRemindAt", launch + 100);
  reminder.check(false);
  EXPECT_EQ(asked, 0);
  answer = SupportAnswer::remindLater;
  reminder.check(true);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + tenDays);  // stored like any answer
}

TEST_F(SupportReminderTest, EachAnswerHasItsOwnEffect) {
  settings->setValue("supportRemindAt", launch);
  answer = SupportAnswer::openSupportPage;
  reminder.check(false);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + tenDays);
  ASSERT_EQ(workspace.openedURLs.size(), 1U);
  EXPECT_EQ(workspace.openedURLs[0], supportPageURL());

  now = launch + tenDays;
  answer = SupportAnswer::remindLater;
  reminder.check(false);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + 2 * tenDays);
  EXPECT_EQ(workspace.openedURLs.size(), 1U);
  EXPECT_FALSE(stored("supported").isValid());

  now = launch + 2 * tenDays;
  answer = SupportAnswer::alreadySupported;
  reminder.check(false);
  EXPECT_TRUE(stored("supported").toBool());
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + 2 * tenDays);
  now += 100 * tenDays;
  reminder.check(false);
  EXPECT_EQ(asked, 3);  // never again
}

// The four-hourly check comes due while the first alert waits: no second alert on top of it. An
// alert ended by quitting stores nothing, so it asks again at the next start.
TEST_F(SupportReminderTest, OneAlertAtATimeAndNothingStoredWhenQuitEndsIt) {
  settings->setValue("supportRemindAt", launch);
  whileAsking = [this] {
    reminder.check(false);
    reminder.check(true);
  };
  answer = SupportAnswer::unanswered;
  reminder.check(false);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch);
  EXPECT_FALSE(stored("supported").isValid());
  whileAsking = nullptr;
  answer = SupportAnswer::remindLater;
  reminder.check(false);  // the alert's loop has ended: the next check may ask again
  EXPECT_EQ(asked, 2);
}

TEST_F(SupportReminderTest, ReadsMalformedStoredValuesAsNeverScheduledAndNotSupported) {
  settings->setValue("supportRemindAt", "soon");
  settings->setValue("supported", "maybe");
  reminder.check(false);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + tenDays);
  settings->setValue("supportRemindAt", "nan");
  reminder.check(false);
  EXPECT_EQ(stored("supportRemindAt").toDouble(), launch + tenDays);
}

TEST_F(SupportReminderTest, StartChecksAfterThreeSecondsThenEveryFourHours) {
  reminder.start(false);
  const QTimer* periodic = reminder.findChild<QTimer*>();
  ASSERT_NE(periodic, nullptr);
  EXPECT_TRUE(periodic->isActive());
  EXPECT_EQ(periodic->interval(), 14400 * 1000);
  QTest::qWait(2000);
  EXPECT_FALSE(stored("supportRemindAt").isValid());
  QTRY_VERIFY_WITH_TIMEOUT(stored("supportRemindAt").isValid(), 2000);
}

TEST_F(SupportReminderTest, ADelayedCheckAfterTheReminderIsGoneDoesNothing) {
  auto gone =
      std::make_unique<SupportReminder>(*settings, workspace, macOSCompanionTexts().reminder);
  gone->start(false);  // a first check would schedule the reminder
  gone.reset();
  QTest::qWait(3300);
  EXPECT_FALSE(stored("supportRemindAt").isValid());
}

TEST(SupportAlert, OffersTheThreeAnswersInOrderAndReportsTheOneClicked) {
  const ReminderTexts& texts = macOSCompanionTexts().reminder;
  const auto alert = makeSupportAlert(texts, 10);
  EXPECT_EQ(alert->text(), texts.message);
  EXPECT_EQ(alert->informativeText(), texts.information.arg(10));
  const QList<QAbstractButton*> buttons = alert->buttons();
  ASSERT_EQ(buttons.size(), 3);
  EXPECT_EQ(buttons[0]->text(), "Open the Support Page");
  EXPECT_EQ(buttons[1]->text(), "Remind Me Later");
  EXPECT_EQ(buttons[2]->text(), "Already Did, Thanks");
  EXPECT_EQ(alert->defaultButton(), buttons[0]);

  // The real modal alert, answered by a click once it shows.
  const auto answerWith = [&](int index) {
    // The box that runs modally now, not one that an earlier test may have left open.
    QTimer::singleShot(200, [index] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        box->buttons().value(index)->click();
      }
    });
    return askForSupport(texts, 10);
  };
  EXPECT_EQ(answerWith(0), SupportAnswer::openSupportPage);
  EXPECT_EQ(answerWith(1), SupportAnswer::remindLater);
  EXPECT_EQ(answerWith(2), SupportAnswer::alreadySupported);
}

}  // namespace
}  // namespace jolstrand
