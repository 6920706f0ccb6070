#pragma once
// What the setup window shows, decided from three inputs: whether Spotlight (on Linux, the
// desktop) holds the shortcut, the hot key's registration status, and whether a press of the
// hot key has reached the launcher during this showing. Pure; the window only renders it.

#include <QString>
#include <cstdint>

#include "color_roles.hpp"
#include "companion_texts.hpp"

namespace jolstrand {

enum class SetupStep1State { held, free };
enum class SetupStep2State { confirmed, refused, blocked, ready };

struct SetupStepView {
  QString symbol;
  ColorRole tint;
  QString title;
  QString body;
  ColorRole titleColor;
  ColorRole bodyColor;
};

/// What the desktop says of the shortcut beyond held and status (Linux).
struct ShortcutDetails {
  QString holder;   ///< what holds the shortcut, by name, where the desktop says (KDE)
  QString trigger;  ///< the key the desktop gave the shortcut instead (status otherKey)
  QString command;  ///< how a desktop's shortcut runs Jolstrand
  bool userAddsShortcut = false;  ///< the user adds and removes the shortcut from this window
};

/// Step 2's button, where the user adds the desktop's shortcut from the window.
enum class ShortcutButton { none, add, remove };

struct SetupView {
  SetupStep1State step1State;
  SetupStepView step1;
  bool settingsButtonVisible;
  SetupStep2State step2State;
  SetupStepView step2;
  bool returnPressesDone;  // Done's key equivalent is Return, else it has none
  ShortcutButton step2Button;
  QString step2ButtonTitle;
};

/// Step 1 follows the shortcut being held alone; step 2 is, first match winning: confirmed
/// when the hot key worked, refused when the shortcut is free but the status is not 0 (a key
/// the desktop gave instead of Super-Space counts as 0, named in the texts), blocked while the
/// shortcut is held, else ready. Step 2's texts are dimmed while the shortcut is held, whatever
/// its state. The refused state speaks of the reason where the texts have words for it.
[[nodiscard]] SetupView setupView(bool spotlightHolds, std::int32_t hotKeyStatus, bool hotKeyWorked,
                                  const SetupTexts& texts, const ShortcutDetails& details = {});

}  // namespace jolstrand
