#!/usr/bin/python3
"""A desktop's tray as the launcher's tests need it: the StatusNotifierWatcher (with a host
registered) on the session bus, which notes the items that register (and, as desktops do, forgets
those whose owner leaves the bus), and reads and clicks their menus over com.canonical.dbusmenu.
Driven line by line on standard input; each command answers one line of JSON on standard output:

  item               the first registered item's properties (waits up to 10 s for one)
  menu               the item's menu as it is about to open: one object per visible entry
  click LABEL        opens the menu and clicks the entry with that label
  host               registers the host, for a watcher started with --no-host
  asked              how often clients have asked whether a host is registered

With --no-host the watcher starts without a host, as a desktop's watcher does before its panel
shows.
"""

import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM = "org.kde.StatusNotifierItem"
MENU = "com.canonical.dbusmenu"


# Clients such as Qt find the watcher's properties by introspection before reading them.
WATCHER_INTROSPECTION = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/><arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="values" type="a{sv}" direction="out"/>
    </method>
  </interface>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="data" type="s" direction="out"/></method>
  </interface>
</node>
"""


class Watcher(dbus.service.Object):
    def __init__(self, bus, host):
        super().__init__(bus, "/StatusNotifierWatcher")
        self.items = []
        self.host = host
        self.asked = 0
        bus.add_signal_receiver(self.owner_changed, signal_name="NameOwnerChanged",
                                dbus_interface="org.freedesktop.DBus",
                                bus_name="org.freedesktop.DBus", path="/org/freedesktop/DBus")

    def owner_changed(self, name, _old_owner, new_owner):
        if not new_owner:
            self.items = [item for item in self.items if item[0] != name]

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # Either a bus name (the path is then the usual one) or a path on the caller's connection.
        if service.startswith("/"):
            self.items.append((sender, service))
        else:
            self.items.append((service, "/StatusNotifierItem"))
        self.StatusNotifierItemRegistered(service)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        self.host = True
        self.StatusNotifierHostRegistered()

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature="", out_signature="s")
    def Introspect(self):
        return WATCHER_INTROSPECTION

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if name == "IsStatusNotifierHostRegistered":
            self.asked += 1
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(
                ["%s%s" % item for item in self.items], signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(self.host),
            "ProtocolVersion": dbus.Int32(0),
        }


def item_object(bus, watcher):
    service, path = watcher.items[0]
    return bus.get_object(service, path)


def item_properties(bus, watcher):
    item = item_object(bus, watcher)
    props = item.GetAll(ITEM, dbus_interface=dbus.PROPERTIES_IFACE)
    tooltip = props.get("ToolTip", ("", [], "", ""))
    return {
        "service": watcher.items[0][0],
        "Id": str(props.get("Id", "")),
        "Title": str(props.get("Title", "")),
        "Status": str(props.get("Status", "")),
        "Category": str(props.get("Category", "")),
        "ToolTipTitle": str(tooltip[2]),
        "IconPixmapSizes": [[int(p[0]), int(p[1])] for p in props.get("IconPixmap", [])],
        "Menu": str(props.get("Menu", "")),
    }


def menu_layout(bus, watcher):
    item = item_object(bus, watcher)
    menu_path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
    menu = dbus.Interface(bus.get_object(watcher.items[0][0], menu_path), MENU)
    menu.AboutToShow(0)
    _revision, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"))
    entries = []
    for child in layout[2]:
        ident, props = int(child[0]), child[1]
        if not bool(props.get("visible", True)):
            continue  # hosts leave hidden entries out
        shortcut = props.get("shortcut", [])
        entries.append({
            "id": ident,
            "label": str(props.get("label", "")),
            "separator": str(props.get("type", "")) == "separator",
            "enabled": bool(props.get("enabled", True)),
            "toggle": str(props.get("toggle-type", "")),
            "checked": int(props.get("toggle-state", -1)) == 1,
            "shortcut": ["+".join(str(key) for key in keys) for keys in shortcut],
        })
    return menu, entries


def answer(value):
    sys.stdout.write(json.dumps(value) + "\n")
    sys.stdout.flush()


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus, host="--no-host" not in sys.argv[1:])
    bus.request_name(WATCHER)
    loop = GLib.MainLoop()
    pending = []  # an "item" command waiting for a registration

    def wait_for_item(deadline):
        if watcher.items:
            answer(item_properties(bus, watcher))
            return False
        if GLib.get_monotonic_time() > deadline:
            answer({"error": "no item registered"})
            return False
        return True

    def command(source, _condition):
        line = source.readline()
        if not line:
            loop.quit()
            return False
        verb, _, argument = line.rstrip("\n").partition(" ")
        try:
            if verb == "item":
                deadline = GLib.get_monotonic_time() + 10_000_000
                if wait_for_item(deadline):
                    pending.append(GLib.timeout_add(50, wait_for_item, deadline))
            elif verb == "host":
                watcher.RegisterStatusNotifierHost("org.example.Host")
                answer({"host": True})
            elif verb == "asked":
                answer({"asked": watcher.asked})
            elif verb == "menu":
                answer(menu_layout(bus, watcher)[1])
            elif verb == "click":
                menu, entries = menu_layout(bus, watcher)
                found = [e for e in entries if e["label"] == argument and not e["separator"]]
                if not found:
                    answer({"error": "no entry " + argument})
                else:
                    menu.Event(found[0]["id"], "clicked", dbus.Int32(0), dbus.UInt32(0))
                    answer({"clicked": argument})
            else:
                answer({"error": "unknown command " + verb})
        except dbus.DBusException as error:
            answer({"error": str(error)})
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)
    answer({"ready": True})
    loop.run()


if __name__ == "__main__":
    main()
