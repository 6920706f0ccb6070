#pragma once
// A launcher lives behind its hot key: no Dock icon, no menu bar of its own (macOS's accessory
// activation policy). Linux needs nothing: a panel that is a tool window never appears in the task
// bar.

namespace jolstrand {

/// Call once the application object exists.
void becomeAccessoryApplication();

}  // namespace jolstrand
