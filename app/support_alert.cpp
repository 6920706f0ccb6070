#include "support_alert.hpp"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

namespace jolstrand {

std::unique_ptr<QMessageBox> makeSupportAlert(const ReminderTexts& texts, int periodDays) {
  auto alert = std::make_unique<QMessageBox>();
  alert->setWindowTitle(QStringLiteral("Jolstrand"));
  alert->setText(texts.message);
  alert->setInformativeText(texts.information.arg(periodDays));
  if (!QApplication::windowIcon().isNull()) {
    alert->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
  }
  // One role for all three keeps them in this order on every platform.
  QPushButton* open = alert->addButton(texts.openPageButton, QMessageBox::ActionRole);
  alert->addButton(texts.laterButton, QMessageBox::ActionRole);
  alert->addButton(texts.supportedButton, QMessageBox::ActionRole);
  alert->setDefaultButton(open);
  return alert;
}

SupportAnswer askForSupport(const ReminderTexts& texts, int periodDays) {
  const auto alert = makeSupportAlert(texts, periodDays);
  // Once the modal loop runs, bring the alert in front of every other application's windows.
  QTimer::singleShot(0, alert.get(), [box = alert.get()] {
    box->raise();
    box->activateWindow();
  });
  alert->exec();
  const QList<QAbstractButton*> buttons = alert->buttons();
  const QAbstractButton* clicked = alert->clickedButton();
  if (clicked != nullptr && clicked == buttons.value(0)) return SupportAnswer::openSupportPage;
  if (clicked != nullptr && clicked == buttons.value(2)) return SupportAnswer::alreadySupported;
  return SupportAnswer::remindLater;
}

}  // namespace jolstrand
