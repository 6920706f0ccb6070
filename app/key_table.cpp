#include "key_table.hpp"

namespace jolstrand {
namespace {

#if defined(Q_OS_MACOS)
constexpr Qt::KeyboardModifier selectionModifier = Qt::MetaModifier;  // the Control key
#else
constexpr Qt::KeyboardModifier selectionModifier = Qt::ControlModifier;
#endif

// Command with nothing else but Shift (and the keypad flag) held.
bool commandAlone(Qt::KeyboardModifiers modifiers) {
  return (modifiers & ~(Qt::ShiftModifier | Qt::KeypadModifier)) == Qt::ControlModifier;
}

KeyAction editShortcut(const KeyPress& press) {
  if (!commandAlone(press.modifiers)) return KeyAction::none;
  if ((press.modifiers & Qt::ShiftModifier) != 0) {
    return press.key == Qt::Key_Z ? KeyAction::redo : KeyAction::none;
  }
  switch (press.key) {
    case Qt::Key_A:
      return KeyAction::selectAll;
    case Qt::Key_C:
      return KeyAction::copy;
    case Qt::Key_X:
      return KeyAction::cut;
    case Qt::Key_V:
      return KeyAction::paste;
    case Qt::Key_Z:
      return KeyAction::undo;
    default:
      return KeyAction::none;
  }
}

}  // namespace

KeyAction keyAction(const KeyPress& press) {
  if (press.composing) return KeyAction::none;
  if (const KeyAction edit = editShortcut(press); edit != KeyAction::none) return edit;
  const bool command = (press.modifiers & Qt::ControlModifier) != 0;
  const bool selecting = (press.modifiers & selectionModifier) != 0;
  switch (press.key) {
    case Qt::Key_P:
      return selecting ? KeyAction::selectPrevious : KeyAction::none;
    case Qt::Key_N:
      return selecting ? KeyAction::selectNext : KeyAction::none;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return command ? KeyAction::reveal : KeyAction::open;
    case Qt::Key_Escape:
      return KeyAction::hide;
    case Qt::Key_Down:
      return KeyAction::selectNext;
    case Qt::Key_Up:
      return KeyAction::selectPrevious;
    default:
      return KeyAction::none;
  }
}

}  // namespace jolstrand
