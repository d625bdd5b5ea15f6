"""What Orca says about the client; run by scripts/screen-reader-check.sh.

Opens the windows through the accessibility bus, as any assistive technology could, gives each
the X input focus, drives Orca with its own keys (flat review: Orca+KP_7 to the top, KP_9 line
by line; Tab between controls), raises an instrument error, then ends Orca and prints the SPEECH OUTPUT lines of its debug
file, by step. Orca writes that file through a buffer, so the lines are matched to the steps by
their time stamps once Orca has ended."""
import datetime
import os
import re
import signal
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

from atspi_tree import walk  # noqa: E402

# get_action_name is marked deprecated in favour of a name this version does not have yet.
warnings.simplefilter("ignore", DeprecationWarning)

DEBUG_FILE, ORCA_PID, ACCESS_CODE, SERVER = sys.argv[1], int(sys.argv[2]), sys.argv[3], sys.argv[4]
SPEECH = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*?)'[\[{]", re.M)
# Orca answers a key well within this; the next key must not cut the answer short.
KEY_GAP = 1.2

steps = []  # (title, start time as seconds of the day)


def now():
    t = datetime.datetime.now().time()
    return t.hour * 3600 + t.minute * 60 + t.second + t.microsecond / 1e6


def step(title):
    steps.append((title, now()))


def key(*keys):
    subprocess.run(["xdotool", "key", *keys], check=True)
    time.sleep(KEY_GAP)


def wait_for(what, probe, timeout=20.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            found = probe()
        except GLib.Error:
            found = None
        if found:
            return found
        time.sleep(0.3)
    sys.exit(f"screen-reader-check: FAILED, {what} within {timeout:.0f} s")


def application(name):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and name in (app.get_name() or "").lower():
            return app
    return None


def find(root, role, name):
    root.clear_cache()
    for node in walk(root):
        if node.get_role_name() == role and (node.get_name() or "") == name:
            return node
    return None


def press(node):
    actions = {node.get_action_name(i).lower(): i for i in range(node.get_n_actions())}
    for name in ("press", "click", "switch"):
        if name in actions:
            node.do_action(actions[name])
            return
    sys.exit(f"screen-reader-check: FAILED, {node.get_name()} offers {sorted(actions)}")


def focus_window(title):
    wid = wait_for(f"the window '{title}'", lambda: subprocess.run(
        ["xdotool", "search", "--name", f"^{title}$"], capture_output=True, text=True
    ).stdout.split())[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", wid], check=True)
    time.sleep(2 * KEY_GAP)


def flat_review(title, lines):
    step(f"{title}: flat review (Orca+KP_7 to the top, then KP_9 line by line)")
    key("Insert+KP_Home")
    for _ in range(lines):
        key("KP_Page_Up")


app = wait_for("the client on the accessibility bus", lambda: application("orvix"), 30)
wait_for("Orca on the accessibility bus", lambda: application("orca"), 30)
time.sleep(3)
step("Orvix Diagnostics: focus")
focus_window("Orvix Diagnostics")
time.sleep(2)  # the first refresh fills the form
flat_review("Orvix Diagnostics", 18)

step("Change Flow: opened")
press(wait_for("the Change Flow button", lambda: find(app, "push button", "Change Flow")))
wait_for("the Change Flow dialog", lambda: find(app, "dialog", "Change Flow"))
focus_window("Change Flow")
step("Change Flow: Tab")
for _ in range(5):
    key("Tab")
key("Escape")

step("Service Diagnostics: access code")
press(wait_for("the Service Diagnostics button",
               lambda: find(app, "push button", "Service Diagnostics")))
wait_for("the Enter Password dialog", lambda: find(app, "dialog", "Enter Password"))
focus_window("Enter Password")
subprocess.run(["xdotool", "type", ACCESS_CODE], check=True)
key("Return")
sheet = wait_for("the Service Diagnostics sheet", lambda: find(app, "dialog", "Service Diagnostics"))
focus_window("Service Diagnostics")
press(wait_for("the Valves tab", lambda: find(sheet, "page tab", "Valves")))
time.sleep(2)  # the page's first ticks show the reported valve states
flat_review("Service Diagnostics, Valves", 9)
press(wait_for("the AutoSampler Sensors tab",
               lambda: find(sheet, "page tab", "AutoSampler Sensors")))
time.sleep(2)
flat_review("Service Diagnostics, AutoSampler Sensors", 12)
key("Escape")

step("A new instrument error, with the focus on the main window")
subprocess.run([SERVER, "raise-error", "Pump A over pressure"], check=True, capture_output=True)
time.sleep(5)  # two refreshes: the error is announced once
step("end")

# Ending Orca writes out what its buffer still holds.
os.kill(ORCA_PID, signal.SIGTERM)
wait_for("Orca to end", lambda: not os.path.exists(f"/proc/{ORCA_PID}"), 20)
with open(DEBUG_FILE, encoding="utf-8", errors="replace") as log:
    spoken = [(int(h) * 3600 + int(m) * 60 + float(s), text)
              for h, m, s, text in SPEECH.findall(log.read())]

heard = {}
for (title, start), (_, end) in zip(steps, steps[1:]):
    heard[title] = [text for t, text in spoken if start <= t < end]
    print(f"--- {title}")
    for text in heard[title]:
        print(f"SPEECH OUTPUT: '{text}'")


def said(prefix, pattern):
    return any(re.search(pattern, text) for title, lines in heard.items()
               if title.startswith(prefix) for text in lines)


wanted = [
    ("Orvix Diagnostics: flat", r"^Pressure \d+ PSI"),
    ("Orvix Diagnostics: flat", r"^Inject (Load|Inject)"),
    ("Orvix Diagnostics: flat", r"^Column -?\d+\.\d°C -?\d+\.\d°C"),
    ("Change Flow", r"^Flow Rate text"),
    ("Change Flow", r"^Composition A text"),
    ("Service Diagnostics, Valves", r"Valve 1 Fill (Fill|Dead-End|Deliver|In Motion|Invalid|-)$"),
    ("Service Diagnostics, AutoSampler Sensors", r"Home (set|clear)"),
    ("A new instrument error", r"Pump A over pressure"),
]
missing = [pattern for prefix, pattern in wanted if not said(prefix, pattern)]
if missing:
    sys.exit(f"screen-reader-check: FAILED, Orca never said {missing}")
print("screen-reader-check: passed")
