#include "setup_steps.hpp"

namespace jolstrand {
namespace {

const QString numberOne = QStringLiteral("1.circle");
const QString numberTwo = QStringLiteral("2.circle");
const QString checkmark = QStringLiteral("checkmark.circle.fill");
const QString warning = QStringLiteral("exclamationmark.triangle.fill");

SetupStep2State step2State(bool holds, std::int32_t status, bool worked) {
  if (worked) return SetupStep2State::confirmed;
  if (!holds && status != 0) return SetupStep2State::refused;
  if (holds) return SetupStep2State::blocked;
  return SetupStep2State::ready;
}

}  // namespace

SetupView setupView(bool spotlightHolds, std::int32_t hotKeyStatus, bool hotKeyWorked,
                    const SetupTexts& texts) {
  SetupView view{};
  view.step1State = spotlightHolds ? SetupStep1State::held : SetupStep1State::free;
  // Step 1's text colours never change.
  view.step1 =
      spotlightHolds
          ? SetupStepView{numberOne,      ColorRole::label, texts.heldTitle,
                          texts.heldBody, ColorRole::label, ColorRole::secondaryLabel}
          : SetupStepView{checkmark,      ColorRole::systemGreen, texts.freeTitle,
                          texts.freeBody, ColorRole::label,       ColorRole::secondaryLabel};
  view.settingsButtonVisible = spotlightHolds;

  view.step2State = step2State(spotlightHolds, hotKeyStatus, hotKeyWorked);
  // Step 2 is dimmed while the shortcut is held, whatever its state.
  const ColorRole title = spotlightHolds ? ColorRole::tertiaryLabel : ColorRole::label;
  const ColorRole body = spotlightHolds ? ColorRole::tertiaryLabel : ColorRole::secondaryLabel;
  switch (view.step2State) {
    case SetupStep2State::confirmed:
      view.step2 = {
          checkmark, ColorRole::systemGreen, texts.confirmedTitle, texts.confirmedBody, title,
          body};
      break;
    case SetupStep2State::refused:
      view.step2 = {warning,
                    ColorRole::systemOrange,
                    texts.refusedTitle,
                    texts.refusedBody.arg(hotKeyStatus),
                    title,
                    body};
      break;
    case SetupStep2State::blocked:
      view.step2 = {numberTwo, ColorRole::tertiaryLabel, texts.pressTitle, texts.blockedBody, title,
                    body};
      break;
    case SetupStep2State::ready:
      view.step2 = {numberTwo, ColorRole::label, texts.pressTitle, texts.readyBody, title, body};
      break;
  }
  view.returnPressesDone = view.step2State == SetupStep2State::confirmed;
  return view;
}

}  // namespace jolstrand
