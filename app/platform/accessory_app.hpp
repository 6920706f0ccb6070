#pragma once
// A launcher lives behind its hot key: no Dock icon, no menu bar of its own (macOS's accessory
// activation policy). Linux needs nothing: a panel that is a tool window never appears in the task
// bar. Before it shows a window of its own, an accessory application brings itself forward
// (macOS); on Linux each window raises itself.

namespace jolstrand {

/// Call once the application object exists.
void becomeAccessoryApplication();

/// Makes the program the active application, so the window it shows next is in front.
void activateApplication();

}  // namespace jolstrand
