#include "support_alert.hpp"

#include <QPushButton>

#include "program_alert.hpp"

namespace jolstrand {

std::unique_ptr<QMessageBox> makeSupportAlert(const ReminderTexts& texts, int periodDays) {
  auto alert = makeProgramAlert(texts.message, texts.information.arg(periodDays));
  // One role for all three keeps them in this order on every platform.
  QPushButton* open = alert->addButton(texts.openPageButton, QMessageBox::ActionRole);
  alert->addButton(texts.laterButton, QMessageBox::ActionRole);
  alert->addButton(texts.supportedButton, QMessageBox::ActionRole);
  alert->setDefaultButton(open);
  return alert;
}

SupportAnswer askForSupport(const ReminderTexts& texts, int periodDays) {
  const auto alert = makeSupportAlert(texts, periodDays);
  runInFront(*alert);
  const QList<QAbstractButton*> buttons = alert->buttons();
  const QAbstractButton* clicked = alert->clickedButton();
  // Without an escape button the alert cannot be closed: no button means its loop was ended.
  if (clicked == nullptr) return SupportAnswer::unanswered;
  if (clicked == buttons.value(0)) return SupportAnswer::openSupportPage;
  if (clicked == buttons.value(2)) return SupportAnswer::alreadySupported;
  return SupportAnswer::remindLater;
}

}  // namespace jolstrand
