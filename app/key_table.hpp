#pragma once
// What a key press in the search panel does, decided without widgets. Command is Qt's
// ControlModifier (the Command key on macOS, Ctrl elsewhere); the key that moves the selection
// with N and P is Control on macOS (Qt's MetaModifier) and Ctrl elsewhere.

#include <Qt>

namespace jolstrand {

enum class KeyAction {
  none,  ///< not ours: the query field gets the key
  selectPrevious,
  selectNext,
  open,
  reveal,
  hide,
  selectAll,
  copy,
  cut,
  paste,
  undo,
  redo,
};

struct KeyPress {
  int key;  ///< Qt::Key
  Qt::KeyboardModifiers modifiers;
  bool composing = false;  ///< an input method is composing text in the field
};

[[nodiscard]] KeyAction keyAction(const KeyPress& press);

}  // namespace jolstrand
