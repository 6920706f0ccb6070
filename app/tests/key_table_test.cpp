#include "key_table.hpp"

#include <gtest/gtest.h>

namespace jolstrand {
namespace {

KeyAction act(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool composing = false) {
  return keyAction({key, modifiers, composing});
}

TEST(KeyTable, MovesOpensRevealsAndHides) {
  EXPECT_EQ(act(Qt::Key_Down), KeyAction::selectNext);
  EXPECT_EQ(act(Qt::Key_Up), KeyAction::selectPrevious);
  EXPECT_EQ(act(Qt::Key_N, Qt::ControlModifier), KeyAction::selectNext);
  EXPECT_EQ(act(Qt::Key_P, Qt::ControlModifier), KeyAction::selectPrevious);
  EXPECT_EQ(act(Qt::Key_N), KeyAction::none);  // typed into the query
  EXPECT_EQ(act(Qt::Key_Return), KeyAction::open);
  EXPECT_EQ(act(Qt::Key_Enter, Qt::KeypadModifier), KeyAction::open);
  EXPECT_EQ(act(Qt::Key_Return, Qt::ShiftModifier), KeyAction::open);
  EXPECT_EQ(act(Qt::Key_Return, Qt::AltModifier), KeyAction::open);
  EXPECT_EQ(act(Qt::Key_Return, Qt::ControlModifier), KeyAction::reveal);
  EXPECT_EQ(act(Qt::Key_Escape), KeyAction::hide);
  EXPECT_EQ(act(Qt::Key_A), KeyAction::none);
}

TEST(KeyTable, EditsTheQueryWithCommandAloneOrWithShift) {
  EXPECT_EQ(act(Qt::Key_A, Qt::ControlModifier), KeyAction::selectAll);
  EXPECT_EQ(act(Qt::Key_C, Qt::ControlModifier), KeyAction::copy);
  EXPECT_EQ(act(Qt::Key_X, Qt::ControlModifier), KeyAction::cut);
  EXPECT_EQ(act(Qt::Key_V, Qt::ControlModifier), KeyAction::paste);
  EXPECT_EQ(act(Qt::Key_Z, Qt::ControlModifier), KeyAction::undo);
  EXPECT_EQ(act(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier), KeyAction::redo);
  EXPECT_EQ(act(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier), KeyAction::none);
  EXPECT_EQ(act(Qt::Key_A, Qt::ControlModifier | Qt::AltModifier), KeyAction::none);
  EXPECT_EQ(act(Qt::Key_V, Qt::ControlModifier | Qt::MetaModifier), KeyAction::none);
}

TEST(KeyTable, LeavesEveryKeyToAComposingInputMethod) {
  for (const int key : {Qt::Key_Return, Qt::Key_Escape, Qt::Key_Down, Qt::Key_A}) {
    EXPECT_EQ(act(key, Qt::NoModifier, true), KeyAction::none);
    EXPECT_EQ(act(key, Qt::ControlModifier, true), KeyAction::none);
  }
}

}  // namespace
}  // namespace jolstrand
