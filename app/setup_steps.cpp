#include "setup_steps.hpp"

#include <utility>

#include "platform/hot_key_backend.hpp"

namespace jolstrand {
namespace {

const QString numberOne = QStringLiteral("1.circle");
const QString numberTwo = QStringLiteral("2.circle");
const QString checkmark = QStringLiteral("checkmark.circle.fill");
const QString warning = QStringLiteral("exclamationmark.triangle.fill");

// KDE names what holds the shortcut; elsewhere the text says it.
QString heldBody(const SetupTexts& texts, const ShortcutDetails& details) {
  if (!texts.heldBody.contains(QStringLiteral("%1"))) return texts.heldBody;
  return texts.heldBody.arg(details.holder.isEmpty() ? QStringLiteral("another shortcut")
                                                     : details.holder);
}

SetupStep2State step2State(bool holds, std::int32_t status, bool worked) {
  if (worked) return SetupStep2State::confirmed;
  if (!holds && status != 0 && status != HotKeyBackend::otherKey) return SetupStep2State::refused;
  if (holds) return SetupStep2State::blocked;
  return SetupStep2State::ready;
}

// The refused state's words for the status: its own where the texts have them, else the error.
std::pair<QString, QString> refusal(std::int32_t status, const SetupTexts& texts,
                                    const ShortcutDetails& details) {
  if (status == HotKeyBackend::awaitingDesktop && !texts.awaitingTitle.isEmpty()) {
    return {texts.awaitingTitle, texts.awaitingBody};
  }
  if ((status == HotKeyBackend::noKey || status == HotKeyBackend::unavailable) &&
      !texts.unboundTitle.isEmpty()) {
    QString body = texts.unboundBody;
    if (body.contains(QStringLiteral("%1"))) {
      body = body.arg(details.command.isEmpty() ? QStringLiteral("jolstrand") : details.command);
    }
    return {texts.unboundTitle, body};
  }
  return {texts.refusedTitle, texts.refusedBody.arg(status)};
}

// Where the desktop gave the shortcut another key, every text names that key instead.
SetupTexts namingTheKey(const SetupTexts& texts, std::int32_t status,
                        const ShortcutDetails& details) {
  SetupTexts named = texts;
  if (status != HotKeyBackend::otherKey || details.trigger.isEmpty() ||
      texts.shortcutName.isEmpty()) {
    return named;
  }
  for (QString* text : {&named.confirmedTitle, &named.confirmedBody, &named.pressTitle,
                        &named.blockedBody, &named.readyBody}) {
    text->replace(texts.shortcutName, details.trigger);
  }
  return named;
}

ShortcutButton step2Button(bool holds, std::int32_t status, const ShortcutDetails& details) {
  if (!details.userAddsShortcut || holds) return ShortcutButton::none;
  if (status == 0 || status == HotKeyBackend::otherKey) return ShortcutButton::remove;
  return status == HotKeyBackend::noKey ? ShortcutButton::add : ShortcutButton::none;
}

}  // namespace

SetupView setupView(bool spotlightHolds, std::int32_t hotKeyStatus, bool hotKeyWorked,
                    const SetupTexts& unnamedTexts, const ShortcutDetails& details) {
  const SetupTexts texts = namingTheKey(unnamedTexts, hotKeyStatus, details);
  SetupView view{};
  view.step1State = spotlightHolds ? SetupStep1State::held : SetupStep1State::free;
  // Step 1's text colours never change.
  view.step1 = spotlightHolds ? SetupStepView{numberOne,        ColorRole::label,
                                              texts.heldTitle,  heldBody(texts, details),
                                              ColorRole::label, ColorRole::secondaryLabel}
                              : SetupStepView{checkmark,        ColorRole::systemGreen,
                                              texts.freeTitle,  texts.freeBody,
                                              ColorRole::label, ColorRole::secondaryLabel};
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
    case SetupStep2State::refused: {
      auto [refusedTitle, refusedBody] = refusal(hotKeyStatus, texts, details);
      view.step2 = {
          warning, ColorRole::systemOrange, std::move(refusedTitle), std::move(refusedBody), title,
          body};
      break;
    }
    case SetupStep2State::blocked:
      view.step2 = {numberTwo, ColorRole::tertiaryLabel, texts.pressTitle, texts.blockedBody, title,
                    body};
      break;
    case SetupStep2State::ready:
      view.step2 = {numberTwo, ColorRole::label, texts.pressTitle, texts.readyBody, title, body};
      break;
  }
  view.returnPressesDone = view.step2State == SetupStep2State::confirmed;
  view.step2Button = step2Button(spotlightHolds, hotKeyStatus, details);
  if (view.step2Button == ShortcutButton::add) view.step2ButtonTitle = texts.addShortcutButton;
  if (view.step2Button == ShortcutButton::remove) {
    view.step2ButtonTitle = texts.removeShortcutButton;
  }
  return view;
}

}  // namespace jolstrand
