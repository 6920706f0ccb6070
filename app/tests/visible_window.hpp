#pragma once
// Finding the window a test has made appear.

#include <QApplication>
#include <QWidget>

namespace jolstrand::testing {

/// The first visible top-level window of type T, or null.
template <typename T>
T* visibleTopLevel() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<T*>(widget); found != nullptr && found->isVisible())
      return found;
  }
  return nullptr;
}

}  // namespace jolstrand::testing
