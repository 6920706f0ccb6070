#pragma once
// The program's alerts: titled "Jolstrand", with the program's icon, shown in front of other
// applications' windows. Each waits for its answer in a loop of its own but blocks no other window
// of the program. Main thread only.

#include <QMessageBox>
#include <QString>
#include <memory>

namespace jolstrand {

/// An alert with this message and informative text and no buttons yet; not shown.
[[nodiscard]] std::unique_ptr<QMessageBox> makeProgramAlert(const QString& message,
                                                            const QString& information);

/// Runs the alert modally, brought in front of every other application's window once it shows.
void runInFront(QMessageBox& alert);

/// Shows a modal alert with its one default button and waits until it is closed.
void showAlert(const QString& message, const QString& information);

}  // namespace jolstrand
