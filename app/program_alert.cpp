#include "program_alert.hpp"

#include <QApplication>
#include <QTimer>

#include "platform/accessory_app.hpp"

namespace jolstrand {

std::unique_ptr<QMessageBox> makeProgramAlert(const QString& message, const QString& information) {
  auto alert = std::make_unique<QMessageBox>();
  alert->setWindowTitle(QStringLiteral("Jolstrand"));
  // Modal to itself alone: while it waits for an answer, the hot key's panel, the menu and the
  // other windows work as ever. (Application-modal, it would leave a panel that takes no keys.)
  alert->setWindowModality(Qt::WindowModal);
  alert->setText(message);
  alert->setInformativeText(information);
  if (!QApplication::windowIcon().isNull()) {
    alert->setIconPixmap(QApplication::windowIcon().pixmap(64, 64));
  }
  return alert;
}

void runInFront(QMessageBox& alert) {
  activateApplication();  // an accessory application's alert would open behind the front one
  // Once the modal loop runs, bring the alert in front of every other application's windows.
  QTimer::singleShot(0, &alert, [box = &alert] {
    box->raise();
    box->activateWindow();
  });
  alert.exec();
}

void showAlert(const QString& message, const QString& information) {
  const auto alert = makeProgramAlert(message, information);
  alert->addButton(QMessageBox::Ok);
  runInFront(*alert);
}

}  // namespace jolstrand
