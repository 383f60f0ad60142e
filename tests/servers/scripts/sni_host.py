#!/usr/bin/python3
"""A StatusNotifierWatcher and host on the session bus, as a Plasma panel is one, for the tests.

It registers as the watcher and says a host is there, so that programs show their tray icon as a
StatusNotifierItem. It prints "ready", then "registered <service>" for each item. Commands, one a
line on standard input, act on the last item registered:
  activate    Activate(0, 0): a click on the icon
  secondary   SecondaryActivate(0, 0): a middle click
  context     ContextMenu(0, 0)
  menu        AboutToShow and GetLayout of its menu, printed as one JSON line:
              menu [{"label": ..., "enabled": ..., "toggle-type": ..., "toggle-state": ...,
                     "icon": true|false, "submenu": [...]}, ...]
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


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        self.items = []
        self.bus = bus
        super().__init__(bus, "/StatusNotifierWatcher")

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # A service name, or an object path on the caller's connection.
        if service.startswith("/"):
            self.items.append((sender, service))
        else:
            self.items.append((service, "/StatusNotifierItem"))
        print("registered", self.items[-1][0], flush=True)
        self.StatusNotifierItemRegistered(self.items[-1][0])

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, service):
        pass

    # python-dbus leaves properties out of its introspection; clients that read them through
    # introspection (as Qt does) need to see them.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s")
    def Introspect(self):
        return """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
</node>"""

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        return self.GetAll(interface)[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(
                [s for s, _ in self.items], signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }


def layout_items(children):
    items = []
    for child in children:
        _, properties, grandchildren = child
        if properties.get("type") == "separator":
            continue
        items.append({
            "label": str(properties.get("label", "")),
            "enabled": bool(properties.get("enabled", True)),
            "toggle-type": str(properties.get("toggle-type", "")),
            "toggle-state": int(properties.get("toggle-state", -1)),
            "icon": bool(properties.get("icon-data") or properties.get("icon-name")),
            "submenu": layout_items(grandchildren),
        })
    return items


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName(WATCHER, bus)
    host = dbus.service.BusName("org.kde.StatusNotifierHost-%d" % 1, bus)
    watcher = Watcher(bus)
    loop = GLib.MainLoop()

    def on_command(channel, condition):
        line = sys.stdin.readline()
        if not line:
            loop.quit()
            return False
        command = line.strip()
        try:
            service, path = watcher.items[-1]
            item = bus.get_object(service, path)
            if command == "activate":
                item.Activate(0, 0, dbus_interface=ITEM)
            elif command == "secondary":
                item.SecondaryActivate(0, 0, dbus_interface=ITEM)
            elif command == "context":
                item.ContextMenu(0, 0, dbus_interface=ITEM)
            elif command == "menu":
                menu_path = item.Get(ITEM, "Menu", dbus_interface=dbus.PROPERTIES_IFACE)
                menu = bus.get_object(service, menu_path)
                menu.AboutToShow(0, dbus_interface=MENU)
                _, layout = menu.GetLayout(0, -1, dbus.Array([], signature="s"),
                                           dbus_interface=MENU)
                print("menu", json.dumps(layout_items(layout[2])), flush=True)
            print("done", command, flush=True)
        except Exception as error:  # reported to the test, which fails on it
            print("error", command, str(error).replace("\n", " "), flush=True)
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, on_command)
    print("ready", flush=True)
    loop.run()
    del name, host


if __name__ == "__main__":
    main()
