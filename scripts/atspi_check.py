"""The client as assistive technology sees it; run by scripts/atspi-check.sh."""
import os
import signal
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

from atspi_tree import client, walk  # noqa: E402

# get_action_name is marked deprecated in favour of a name this version does not have yet.
warnings.simplefilter("ignore", DeprecationWarning)

SERVER = sys.argv[1]


def wait_for(what, probe, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        # Delivers the accessibility events that arrived meanwhile.
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            found = probe()
        except GLib.Error:
            found = None
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"atspi-check: FAILED, {what} within {timeout:.0f} s")


def find(root, role, name, starts=False):
    root.clear_cache()
    for node in walk(root):
        node_name = node.get_name() or ""
        if node.get_role_name() == role and (
            node_name.startswith(name) if starts else node_name == name
        ):
            return node
    return None


def related(node, relation_type):
    targets = []
    for relation in node.get_relation_set() or []:
        if relation.get_relation_type() == relation_type:
            targets += [relation.get_target(i) for i in range(relation.get_n_targets())]
    return targets


def value_label(root, caption):
    """The value text a caption labels: named by what it shows, labelled back by the caption."""
    root.clear_cache()
    for node in walk(root):
        if node.get_role_name() == "label" and node.get_name() == caption:
            for value in related(node, Atspi.RelationType.LABEL_FOR):
                if node in related(value, Atspi.RelationType.LABELLED_BY):
                    return value
    return None


def grouped_value(root, group):
    """The first value text labelled by the titled group around it."""
    root.clear_cache()
    for node in walk(root):
        if node.get_role_name() == "label" and any(
                g.get_name() == group for g in related(node, Atspi.RelationType.LABELLED_BY)):
            return node
    return None


def name(node):
    node.clear_cache()
    return node.get_name() or ""


def act(node, *names):
    actions = {node.get_action_name(i).lower(): i for i in range(node.get_n_actions())}
    for name in names:
        if name in actions:
            node.do_action(actions[name])
            return name
    sys.exit(f"atspi-check: FAILED, {node.get_name()} offers {sorted(actions)}")


def server_pid():
    out = subprocess.run(
        ["dbus-send", "--session", "--print-reply=literal", "--dest=org.freedesktop.DBus",
         "/org/freedesktop/DBus", "org.freedesktop.DBus.GetConnectionUnixProcessID",
         "string:org.orvix.InstrumentServer"],
        capture_output=True, text=True, check=True).stdout
    return int(out.split()[-1])


app = wait_for("the client on the accessibility bus", client, 30)
pressure = wait_for("the Pressure value", lambda: value_label(app, "Pressure"))
wait_for("a pressure value", lambda: name(pressure).endswith("PSI"))
print(f"value text labelled by 'Pressure': name '{name(pressure)}'")
column = wait_for("the Column values", lambda: value_label(app, "Column"))
print(f"value text labelled by 'Column': name '{name(column)}', labelled by "
      f"{sorted(n.get_name() for n in related(column, Atspi.RelationType.LABELLED_BY))}")
composition = wait_for("the Composition A value", lambda: grouped_value(app, "Composition"))
print(f"value text in 'Composition': name '{name(composition)}'")

# What a screen reader listens to: a value text announcing its new text, and notifications.
announced = []
notified = []
listener = Atspi.EventListener.new(
    lambda event: announced.append(event.source.get_name()) if event.source else None)
listener.register("object:property-change:accessible-name")
notifications = Atspi.EventListener.new(
    lambda event: notified.append(event.source.get_name())
    if event.source and event.detail1 and event.source.get_role_name() == "notification" else None)
notifications.register("object:state-changed:showing")

act(wait_for("the Wet Prime button", lambda: find(app, "push button", "Wet Prime")), "press", "click")
dialog = wait_for("the Wet Prime dialog", lambda: find(app, "dialog", "Wet Prime"))
a2 = wait_for("reservoir A2", lambda: find(dialog, "radio button", "A2"))
print(f"A2 role: {a2.get_role_name()}")
used = act(a2, "toggle", "press", "click")
wait_for("A2 checked", lambda: a2.get_state_set().contains(Atspi.StateType.CHECKED), 5)
print(f"A2 action '{used}': checked")
wait_for("the instrument drawing from reservoir 2", lambda: name(composition).endswith("%A2"))
print(f"after SelectSolvent(2): '{name(composition)}'")
wait_for("the change announced", lambda: name(composition) in announced, 5)
print(f"name change announced: '{name(composition)}'")
act(find(dialog, "push button", "Cancel"), "press", "click")

subprocess.run([SERVER, "raise-error", "Pump A over pressure"], check=True, capture_output=True)
wait_for("the error announced", lambda: "Pump A over pressure" in notified, 10)
time.sleep(4.5)
print(f"error announced as a notification: {notified.count('Pump A over pressure')} time(s) "
      f"over two more refreshes")
if notified.count("Pump A over pressure") != 1:
    sys.exit("atspi-check: FAILED, the error was announced more than once")

pane = wait_for("the connection pane", lambda: find(app, "label", "Instrument ", starts=True))
print(f"status bar: '{pane.get_name()}'")
subprocess.run([SERVER, "hang", "ReadStatus", "3000"], check=True, capture_output=True)
started = time.monotonic()
wait_for("'not answering'", lambda: find(app, "label", "Instrument not answering since", True))
print(f"hung server: '{find(app, 'label', 'Instrument not', True).get_name()}' "
      f"after {time.monotonic() - started:.1f} s; pressure sensitive: "
      f"{pressure.get_state_set().contains(Atspi.StateType.SENSITIVE)}")
subprocess.run([SERVER, "hang", "ReadStatus", "0"], check=True, capture_output=True)
wait_for("'connected' again", lambda: find(app, "label", "Instrument connected"))
print(f"answering again: pressure sensitive: "
      f"{pressure.get_state_set().contains(Atspi.StateType.SENSITIVE)}")
os.kill(server_pid(), signal.SIGKILL)
started = time.monotonic()
wait_for("'server gone'", lambda: find(app, "label", "Instrument server gone"))
print(f"killed server: 'Instrument server gone' after {time.monotonic() - started:.1f} s")
print("atspi-check: passed")
