#!/usr/bin/python3
"""Reads and drives a running program through AT-SPI, for the tests beside this file.

Objects are found by AT-SPI role name ("push button") and name ("*" any, "" the empty one, a trailing
"#N" the N-th match); Qt keeps closed dialogs and hidden widgets in the tree, so tests ask for the state
"showing". Every wait is bounded. Runs with /usr/bin/python3: the Atspi bindings live in Debian's python.
"""
import os
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# D-Bus calls into a busy or blocked program fail after this many ms instead
# of the library's 25 s default; the second value applies while apps start.
Atspi.set_timeout(3000, 6000)

POLL = 0.2

# This libatspi deprecates get_action_name but exposes no replacement to Python.
warnings.filterwarnings("ignore", r"Atspi\.Action\.get_action_name is deprecated", DeprecationWarning)


class ProbeError(Exception):
    pass


def _safe(fn, default=""):
    try:
        value = fn()
    except GLib.Error:
        return default
    return default if value is None else value


def role(acc):
    return _safe(acc.get_role_name)


def name(acc):
    return _safe(acc.get_name)


def description(acc):
    return _safe(acc.get_description)


def states(acc):
    st = _safe(acc.get_state_set, None)
    if st is None:
        return []
    return sorted(Atspi.StateType(s).value_nick for s in st.get_states())


def has_state(acc, state_nick):
    return state_nick in states(acc)


def children(acc):
    count = _safe(acc.get_child_count, 0)
    out = []
    for i in range(count):
        child = _safe(lambda: acc.get_child_at_index(i), None)
        if child is not None:
            out.append(child)
    return out


def walk(acc, depth=0, max_depth=64):
    yield depth, acc
    if depth < max_depth:
        for child in children(acc):
            yield from walk(child, depth + 1, max_depth)


def interfaces(acc):
    return _safe(acc.get_interfaces, [])


def actions(acc):
    if "Action" not in interfaces(acc):
        return []
    return [_safe(lambda i=i: acc.get_action_name(i)) for i in range(_safe(acc.get_n_actions, 0))]


def value(acc):
    """(minimum, current, maximum) or None without a value interface."""
    if "Value" not in interfaces(acc):
        return None
    return (acc.get_minimum_value(), acc.get_current_value(), acc.get_maximum_value())


def text(acc):
    if "Text" not in interfaces(acc):
        raise ProbeError(f"{role(acc)} '{name(acc)}' has no text interface")
    return acc.get_text(0, acc.get_character_count())


def line(acc, detail=False):
    fields = [role(acc), name(acc), description(acc), ",".join(states(acc))]
    if detail:
        fields.append(",".join(actions(acc)))
        v = value(acc)
        fields.append("" if v is None else "%g<=%g<=%g" % v)
    return " | ".join(fields)


def dump(acc, detail=False):
    _safe(acc.clear_cache, None)
    return ["  " * d + line(a, detail) for d, a in walk(acc)]


def _require_bus():
    # Without a bus libatspi aborts the whole process instead of raising.
    if not (os.environ.get("DBUS_SESSION_BUS_ADDRESS") or os.environ.get("AT_SPI_BUS_ADDRESS")):
        raise ProbeError("no D-Bus session: run inside run-under-atspi")


def find_app(app_name, timeout=10.0):
    """The application object whose name is app_name, waiting for it to register."""
    _require_bus()
    deadline = time.monotonic() + timeout
    while True:
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            if name(app) == app_name:
                return app
        if time.monotonic() >= deadline:
            seen = [name(a) for a in children(desktop)]
            raise ProbeError(f"no application '{app_name}' on the bus after {timeout}s (seen: {seen})")
        time.sleep(POLL)


def _split_index(wanted):
    base, sep, idx = wanted.rpartition("#")
    if sep and idx.isdigit():
        return base, int(idx)
    return wanted, 0


def find_all(root, role_name, wanted_name, with_states=()):
    _safe(root.clear_cache, None)
    return [a for _, a in walk(root)
            if role_name in ("*", role(a)) and wanted_name in ("*", name(a))
            and set(with_states) <= set(states(a))]


def find(root, role_name, wanted_name, timeout=10.0, with_states=()):
    """First (or '#N'-th) object of that role and name under root, waiting for it to appear."""
    wanted_name, index = _split_index(wanted_name)
    deadline = time.monotonic() + timeout
    while True:
        found = find_all(root, role_name, wanted_name, with_states)
        if len(found) > index:
            return found[index]
        if time.monotonic() >= deadline:
            raise ProbeError(f"no {role_name} '{wanted_name}' #{index} {list(with_states)} after {timeout}s")
        time.sleep(POLL)


def do_action(acc, action_name):
    names = actions(acc)
    if action_name not in names:
        raise ProbeError(f"{role(acc)} '{name(acc)}' has no action '{action_name}' (has {names})")
    if not acc.do_action(names.index(action_name)):
        raise ProbeError(f"action '{action_name}' refused by {role(acc)} '{name(acc)}'")


def set_value(acc, new_value):
    if "Value" not in interfaces(acc):
        raise ProbeError(f"{role(acc)} '{name(acc)}' has no value interface")
    if not acc.set_current_value(float(new_value)):
        raise ProbeError(f"value {new_value} refused by {role(acc)} '{name(acc)}'")


def grab_focus(acc):
    if "Component" not in interfaces(acc) or not acc.grab_focus():
        raise ProbeError(f"{role(acc)} '{name(acc)}' did not take the focus")


def wait_until(predicate, timeout=10.0, what="condition"):
    deadline = time.monotonic() + timeout
    while not predicate():
        if time.monotonic() >= deadline:
            raise ProbeError(f"{what} not met after {timeout}s")
        time.sleep(POLL)


def press_keys(keysym_names):
    """Presses and releases X keysyms ("Return", "Tab", "a") through the registry, which
    synthesises them with XTest: they reach whichever window has the keyboard focus."""
    _require_bus()
    for key in keysym_names:
        if not Atspi.generate_keyboard_event(_keysym(key), None, Atspi.KeySynthType.SYM):
            raise ProbeError(f"key '{key}' not synthesised")
        time.sleep(0.05)


def _keysym(key):
    import ctypes
    x11 = ctypes.CDLL("libX11.so.6")
    x11.XStringToKeysym.restype = ctypes.c_ulong
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    sym = x11.XStringToKeysym(key.encode())
    if not sym:
        raise ProbeError(f"unknown keysym '{key}'")
    return sym


def collect_events(seconds, event_types):
    """Events of the given types ('focus:', 'object:state-changed:focused', ...) for a while."""
    _require_bus()
    seen = []

    def on_event(ev):
        src = ev.source
        seen.append(f"{ev.type} | {role(src)} | {name(src)} | {ev.detail1} | {ev.any_data if isinstance(ev.any_data, str) else ''}")

    listener = Atspi.EventListener.new(on_event)
    for t in event_types:
        listener.register(t)
    GLib.timeout_add(int(seconds * 1000), lambda: (Atspi.event_quit(), False)[1])
    Atspi.event_main()
    for t in event_types:
        listener.deregister(t)
    return seen
