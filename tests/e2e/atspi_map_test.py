#!/usr/bin/env python3
"""The real window read through AT-SPI, as a screen reader reads it: the names of the
toolbar's controls, a row of the pal list and an icon on the map; then a pal picked and
moved on the map from the keyboard alone, and the move undone.

    atspi_map_test.py YUBINO PALS.ybf
It starts itself again inside a D-Bus session of its own on an X server of its own. Exit
77 (skipped) without xvfb-run, dbus-run-session, xdotool or Debian's python3-pyatspi.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
INNER = "YUBINO_ATSPI_INNER"

if INNER not in os.environ:
    for tool in ("xvfb-run", "dbus-run-session", "xdotool"):
        if shutil.which(tool) is None:
            print(f"SKIP: {tool} is not installed")
            sys.exit(SKIP)
    sys.exit(subprocess.run(["dbus-run-session", "--", "xvfb-run", "-a", sys.executable, *sys.argv],
                            env=dict(os.environ, **{INNER: "1"})).returncode)

try:
    import pyatspi
except ImportError:
    print("SKIP: python3-pyatspi is not installed")
    sys.exit(SKIP)

TIMEOUT = 120  # seconds; a busy machine starts the window slowly


def wait_for(what, find):
    deadline = time.monotonic() + TIMEOUT
    while time.monotonic() < deadline:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    sys.exit(f"FAIL: {what} did not appear within {TIMEOUT} s")


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for k in range(node.childCount):
        yield from walk(node.getChildAtIndex(k), depth + 1)


def find(root, role, name=None):
    for node in walk(root):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    return None


def application(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == pid and app.childCount > 0:
            return app
    return None


def xdotool_window(pid):
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)], capture_output=True, text=True)
    ids = found.stdout.split()
    return ids[0] if ids else None


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def has_state(node, state):
    node.clear_cache()  # the state as it is now, not as the last event told it
    return node.getState().contains(state)


def focused_icon(the_map):
    for k in range(the_map.childCount):
        icon = the_map.getChildAtIndex(k)
        if has_state(icon, pyatspi.STATE_FOCUSED):
            return icon
    return None


def position(icon):
    extents = icon.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
    return extents.x, extents.y


def check(failures, condition, text):
    print(("ok   " if condition else "FAIL ") + text)
    if not condition:
        failures.append(text)


def main():
    program, sample = sys.argv[1], sys.argv[2]
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        # A copy of the program keeps its settings file in this folder, not the build tree's.
        copy = shutil.copy(program, os.path.join(folder, "yubino"))
        shutil.copy(os.path.join(os.path.dirname(program), "yubino-features.so"), folder)
        data = shutil.copy(sample, os.path.join(folder, "pals.ybf"))
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb",
                   XDG_STATE_HOME=os.path.join(folder, "state"), XDG_CONFIG_HOME=os.path.join(folder, "config"))
        window = subprocess.Popen([copy, data], env=env)
        try:
            app = wait_for("the window in the AT-SPI tree", lambda: application(window.pid))
            the_map = wait_for("the map", lambda: find(app, pyatspi.ROLE_LIST, "マップ"))
            toolbar = find(app, pyatspi.ROLE_TOOL_BAR, "メイン ツール バー")
            check(failures, toolbar is not None, "the main toolbar is named")
            buttons = [n.name for n in walk(toolbar) if n.getState().contains(pyatspi.STATE_SHOWING)
                       and n.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON,
                                           pyatspi.ROLE_CHECK_BOX)] if toolbar else []
            print("toolbar:", " | ".join(buttons))
            check(failures, buttons and all(buttons), "every toolbar button has a name")
            check(failures, find(app, pyatspi.ROLE_TEXT, "検索") is not None, "the search field is named")
            pal_list = find(app, pyatspi.ROLE_TREE_TABLE, "メールフレンドの一覧") or find(app, pyatspi.ROLE_TREE, "メールフレンドの一覧")
            check(failures, pal_list is not None, "the pal list is named")
            rows = [n.name for n in walk(pal_list) if n.getRole() in (pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TREE_ITEM)
                    and n.name] if pal_list else []
            print("a list row:", rows[:1])
            check(failures, bool(rows), "a list row reads as its pal")
            icons = [the_map.getChildAtIndex(k).name for k in range(the_map.childCount)]
            print("map icons:", " | ".join(icons))
            check(failures, bool(icons) and all(name.endswith("のマップ）") for name in icons),
                  "every map icon reads as its pal and the map")

            # No window manager runs here: the window is given the keyboard by hand.
            window_id = wait_for("the X window", lambda: xdotool_window(window.pid))
            subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)
            the_map.queryComponent().grabFocus()
            wait_for("the map's focus", lambda: True if has_state(the_map, pyatspi.STATE_FOCUSED) else None)
            key("Right")
            icon = wait_for("a picked icon", lambda: focused_icon(the_map))
            before = position(icon)
            key("shift+Right")
            moved = wait_for("the moved icon", lambda: True if position(icon) == (before[0] + 1, before[1]) else None)
            check(failures, moved, f"{icon.name}: Shift+Right moved it from {before} by one pixel")
            key("ctrl+shift+Down")
            wait_for("the icon ten pixels lower",
                     lambda: True if position(icon) == (before[0] + 1, before[1] + 10) else None)
            check(failures, True, "Ctrl+Shift+Down moved it by ten pixels")
            key("ctrl+z", "ctrl+z")
            wait_for("the icon back in its place", lambda: True if position(icon) == before else None)
            check(failures, True, "two undos put it back")
        finally:
            window.kill()
            window.wait()
    if failures:
        sys.exit("FAIL: " + "; ".join(failures))
    print("PASS")


if __name__ == "__main__":
    main()
