#!/usr/bin/python3
"""What a screen reader finds of the client over AT-SPI, through pyatspi.

  screen_reader_probe.py windows           prints the windows of every program, one a line
  screen_reader_probe.py tree TITLE        prints the window named TITLE, one object a line:
                                           indent, role, name, actions and value, split by |
  screen_reader_probe.py press TITLE NAME  does the press action of the push button NAME in
                                           the window TITLE
  screen_reader_probe.py do TITLE ROLE NAME ACTION
                                           does ACTION of the object ROLE NAME in TITLE
  screen_reader_probe.py watch [TITLE]     prints every change of name or value inside the
                                           window TITLE, and every object that takes the focus,
                                           as they come, until stdin closes

A window is waited for up to 20 s; a missing window or button fails with exit code 1.
"""
import sys
import threading
import time

import pyatspi


def find_window(title):
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == title:
                    return window
        time.sleep(0.1)
    sys.exit(f"no window named {title!r}")


def actions(obj):
    try:
        action = obj.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i).lower() for i in range(action.nActions)]


def value(obj):
    try:
        return f"{obj.queryValue().currentValue:g}"
    except NotImplementedError:
        return ""


def describe(obj):
    return f"{obj.getRoleName()}|{obj.name}|{','.join(actions(obj))}|{value(obj)}"


def print_tree(obj, depth=0):
    print("  " * depth + describe(obj))
    for child in obj:
        if child is not None:
            print_tree(child, depth + 1)


def find(obj, role, name):
    if obj.getRoleName() == role and obj.name == name:
        return obj
    for child in obj:
        found = find(child, role, name) if child is not None else None
        if found is not None:
            return found
    return None


def act(title, role, name, action):
    target = find(find_window(title), role, name)
    if target is None:
        sys.exit(f"no {role} {name!r} in {title!r}")
    names = actions(target)
    if action not in names:
        sys.exit(f"{name!r} has no {action} action: {names}")
    target.queryAction().doAction(names.index(action))


def inside(obj, window):
    while obj is not None:
        if obj == window:
            return True
        obj = obj.parent
    return False


def watch(title):
    window = find_window(title) if title else None

    def changed(event):
        if window is None or inside(event.source, window):
            print(f"{event.type}|{describe(event.source)}", flush=True)

    def focused(event):
        if event.detail1:
            print(f"focused|{describe(event.source)}", flush=True)

    pyatspi.Registry.registerEventListener(
        changed,
        "object:property-change:accessible-name",
        "object:property-change:accessible-value",
        "object:value-changed",
    )
    pyatspi.Registry.registerEventListener(focused, "object:state-changed:focused")
    # Whoever started the watch ends it by closing stdin.
    threading.Thread(
        target=lambda: (sys.stdin.read(), pyatspi.Registry.stop()), daemon=True
    ).start()
    print("watching", flush=True)
    pyatspi.Registry.start()


def main(argv):
    if len(argv) == 2 and argv[1] == "windows":
        for app in pyatspi.Registry.getDesktop(0):
            for window in app if app is not None else []:
                if window is not None:
                    print(describe(window))
    elif len(argv) == 3 and argv[1] == "tree":
        print_tree(find_window(argv[2]))
    elif len(argv) == 4 and argv[1] == "press":
        act(argv[2], "push button", argv[3], "press")
    elif len(argv) == 6 and argv[1] == "do":
        act(*argv[2:])
    elif len(argv) in (2, 3) and argv[1] == "watch":
        watch(argv[2] if len(argv) == 3 else None)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
