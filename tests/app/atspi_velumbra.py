#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The running program as a screen reader meets it: read and driven through
# the real accessibility bus (AT-SPI), with a click through the X server; and
# started again with a file, which it hands to the running one. Run under
# xvfb-run and dbus-run-session; the bus launcher of at-spi2-core starts on
# demand.
# Usage: atspi_velumbra.py VELUMBRA
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, Gio, GLib  # noqa: E402

def bmp(width, height):
    row = (width * 3 + 3) // 4 * 4
    header = struct.pack("<2sIHHIIiiHHIIiiII", b"BM", 54 + row * height, 0, 0, 54, 40, width,
                         height, 1, 24, 0, row * height, 0, 0, 0, 0)
    return header + (b"\x00\x00\xff" * width + b"\x00" * (row - width * 3)) * height


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


# Handles the bus's events until check() holds; a periodic wake-up also sees
# what sends no event.
def pump_until(check, what, seconds=20):
    context = GLib.MainContext.default()
    wake = GLib.timeout_add(50, lambda: True)
    end = time.monotonic() + seconds
    try:
        while time.monotonic() < end:
            found = check()
            if found:
                return found
            context.iteration(True)
    finally:
        GLib.source_remove(wake)
    fail("not seen within %d s: %s" % (seconds, what))


# The first object of that role (and name) under root, depth first.
def find(root, role, name=None):
    if root is None:
        return None
    if root.get_role_name() == role and (name is None or root.get_name() == name):
        return root
    for i in range(root.get_child_count()):
        found = find(root.get_child_at_index(i), role, name)
        if found:
            return found
    return None


def text(obj):
    t = obj.get_text_iface()
    return t.get_text(0, t.get_character_count())


def act(obj, action):
    obj.do_action([obj.get_action_name(i) for i in range(obj.get_n_actions())].index(action))


def main():
    work = tempfile.mkdtemp(prefix="velumbra-atspi-")
    pictures = os.path.join(work, "images")
    os.makedirs(pictures)
    for name in ("rouge.bmp", "vert.bmp"):
        with open(os.path.join(pictures, name), "wb") as f:
            f.write(bmp(64, 48))

    # As a screen reader does: the toolkits then join the accessibility bus.
    Gio.bus_get_sync(Gio.BusType.SESSION).call_sync(
        "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
        GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled", GLib.Variant("b", True))),
        None, Gio.DBusCallFlags.NONE, 5000, None)
    inserted = []
    listener = Atspi.EventListener.new(
        lambda e: inserted.append((e.source.get_role_name(), e.any_data)))
    listener.register("object:text-changed:insert")

    env = dict(os.environ, HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
               LC_ALL="C.UTF-8")
    # The click goes through this X server.
    env.pop("WAYLAND_DISPLAY", None)
    program = subprocess.Popen([sys.argv[1]], cwd=pictures, env=env)
    try:
        def window():
            desktop = Atspi.get_desktop(0)
            for i in range(desktop.get_child_count()):
                app = desktop.get_child_at_index(i)
                if app and app.get_process_id() == program.pid:
                    return find(app, "frame")
            return None

        frame = pump_until(window, "the main window on the accessibility bus")
        info = pump_until(lambda: find(frame, "status bar"), "the info line")
        pump_until(lambda: text(info) == "La taille de l'écran est de 1280 pixels sur 1024",
                   "the screen size on the info line")

        files = find(frame, "list", "Fichiers")
        picture = find(files, "list item", "rouge.bmp")
        box = picture.get_extents(Atspi.CoordType.SCREEN)
        Atspi.generate_mouse_event(box.x + box.width // 2, box.y + box.height // 2, "b1c")
        after = os.path.join(pictures, "rouge.bmp") + \
            " (64 x 48 pixels pour un écran de 1280 x 1024)"
        pump_until(lambda: ("status bar", after) in inserted and text(info) == after,
                   "the info line announcing %r" % after)

        # Started again with a file, the program hands it to the running one and ends.
        other = os.path.join(pictures, "vert.bmp")
        subprocess.run([sys.argv[1], other], env=env, check=True, timeout=20)
        pump_until(lambda: text(info).startswith(other + " ("), "the file handed over")

        units = find(frame, "radio button", "Seconde(s)")

        def units_enabled():
            units.clear_cache()
            return units.get_state_set().contains(Atspi.StateType.ENABLED)

        act(find(frame, "radio button", "Définir temporairement"), "Toggle")
        pump_until(lambda: not units_enabled(), "the units disabled by another mode")
        act(find(frame, "radio button", "Choix aléatoire dans ce dossier"), "Toggle")
        pump_until(units_enabled, "the units enabled by the random mode's Toggle action")

        act(find(frame, "menu item", "À propos"), "Press")
        pump_until(lambda: find(find(frame.get_application(), "dialog", "À propos de Velumbra"),
                                "label", "Version 2.1.0"), "an About label heard as it shows")
        print("PASS")
    finally:
        program.terminate()
        program.wait()
        shutil.rmtree(work)


main()
