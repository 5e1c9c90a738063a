#!/usr/bin/env python3
"""menu_keys.py -- a menu opened and closed by keys, timed to the presented pixels.

Usage: menu_keys.py TRACE CYCLES OUT
Each cycle sends, through XTEST, F10 (the bar lit), Down (the first menu
opens), Escape (it closes) and Escape (the bar is left), one key at a time.
For each key the first present whose newest input came after the key was sent
ends its latency; the pixels of every present up to the next key are its
cost. OUT gets one line per key: cycle, key name, latency in us, pixels.
Uses the present trace and the XTEST helper of realwindow_helper.py.
"""
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from realwindow_helper import XTest, now_us, read_trace  # noqa: E402

KEYS = ["F10", "Down", "Escape", "Escape"]
WAIT_US = 300000  # a key with no present by then is reported as missing
SETTLE_S = 0.05   # time for the rest of a key's presents


def main(trace, cycles, out):
    x = XTest()
    offset = 0
    _, offset = read_trace(trace, 0)  # what was presented before is no key's
    rows = []
    for cycle in range(int(cycles)):
        for name in KEYS:
            code = x.code(name)
            t_send = now_us()
            x.key(code, True)
            latency = None
            pixels = 0
            while now_us() - t_send < WAIT_US and latency is None:
                lines, offset = read_trace(trace, offset)
                for p in lines:
                    if p["input_us"] >= t_send:
                        if latency is None:
                            latency = p["t"] - t_send
                        pixels += p["px"]
                time.sleep(0.0005)
            x.key(code, False)
            time.sleep(SETTLE_S)
            lines, offset = read_trace(trace, offset)
            pixels += sum(p["px"] for p in lines if p["input_us"] >= t_send)
            if latency is None:
                sys.exit(f"cycle {cycle} key {name}: nothing presented")
            rows.append((cycle, name, latency, pixels))
    with open(out, "w") as f:
        for r in rows:
            f.write(" ".join(str(v) for v in r) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
