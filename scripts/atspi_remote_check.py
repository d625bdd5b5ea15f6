"""AT-SPI round trips while the client reconnects over a slow login; run by
scripts/atspi-remote-check.sh."""
import os
import signal
import statistics
import sys
import time

from atspi_tree import client, walk

PIDS = sys.argv[1]
LIMIT_S = 0.3
CONNECTED = "Instrument connected"


def pane_name(app):
    """The connection pane's name, asked of the client afresh: one round trip or more."""
    app.clear_cache()
    for node in walk(app):
        name = node.get_name() or ""
        if node.get_role_name() == "label" and name.startswith("Instrument "):
            return name
    return None


def wait_for(what, probe, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        found = probe()
        if found:
            return found
        time.sleep(0.2)
    sys.exit(f"atspi-remote-check: FAILED, {what} within {timeout:.0f} s")


def runs():
    with open(PIDS, encoding="ascii") as file:
        return [int(line) for line in file if line.strip()]


app = wait_for("the client on the accessibility bus", client, 30)
wait_for("'connected'", lambda: pane_name(app) == CONNECTED, 30)
print(f"connected over the stand-in ssh ({len(runs())} login)")
os.killpg(runs()[-1], signal.SIGTERM)
dropped = time.monotonic()

# A name read of the application object is one round trip through the client's bus thread.
times = []
seen = set()
while time.monotonic() - dropped < 30:
    app.clear_cache()
    started = time.monotonic()
    app.get_name()
    times.append(time.monotonic() - started)
    name = pane_name(app)
    seen.add(name)
    if len(runs()) > 1 and name == CONNECTED:
        break
    time.sleep(0.02)
else:
    sys.exit("atspi-remote-check: FAILED, not connected again within 30 s")

print(f"connected again after {time.monotonic() - dropped:.1f} s and {len(runs()) - 1} login(s); "
      f"status bar meanwhile: {sorted(n for n in seen if n)}")
print(f"AT-SPI round trips: {len(times)}, median {statistics.median(times) * 1000:.0f} ms, "
      f"max {max(times) * 1000:.0f} ms")
if max(times) > LIMIT_S:
    sys.exit(f"atspi-remote-check: FAILED, a round trip took more than {LIMIT_S} s")
print("atspi-remote-check: passed")
