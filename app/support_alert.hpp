#pragma once
// The support reminder's alert: the message, the note that nothing is gated, and three buttons
// in this order: open the support page, remind me later, already did. Shown modally, in front
// of other applications' windows. Main thread only.

#include <QMessageBox>
#include <memory>

#include "companion_texts.hpp"

namespace jolstrand {

/// unanswered: the program quit while the alert was open.
enum class SupportAnswer { openSupportPage, remindLater, alreadySupported, unanswered };

/// The alert, not yet shown; its buttons in their order, the first the default.
[[nodiscard]] std::unique_ptr<QMessageBox> makeSupportAlert(const ReminderTexts& texts,
                                                            int periodDays);

/// Shows that alert modally and returns the answer.
[[nodiscard]] SupportAnswer askForSupport(const ReminderTexts& texts, int periodDays);

}  // namespace jolstrand
