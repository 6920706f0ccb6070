#pragma once
// Whether a tray is there to take the status item. Qt settles once, when the first tray icon is
// made, whether it goes to a StatusNotifierWatcher or to the X11 system tray, so the item is made
// only once one of them exists. Main thread only.

#include <QObject>
#include <functional>

namespace jolstrand {

/// Linux: a StatusNotifierWatcher with a host on the session bus, or an owner of the X11
/// system-tray selection. macOS: always (the menu bar).
[[nodiscard]] bool trayPresent();

/// Calls check whenever a tray may have appeared (a watcher taking its bus name or registering a
/// host, an X11 tray taking its selection), until the returned object, a child of parent, is
/// deleted. Nothing is polled.
QObject* watchForTray(QObject* parent, std::function<void()> check);

}  // namespace jolstrand
