#!/usr/bin/env python3
"""realwindow_helper.py -- the timing half of realwindow.sh.

Sub-commands (times are CLOCK_MONOTONIC, the clock of the game's present trace):
  launch T0FILE EXE [ARGS]  write the time in us to T0FILE, then exec EXE in this process
  first TRACE T0FILE TIMEOUT  wait for presents; print first-frame and start-screen times (ms)
  rss PID                   print VmRSS of PID in KiB
  cpu PID SECONDS           print CPU used by PID over SECONDS: clock ticks (utime+stime)
                            and scheduler nanoseconds, as a share of one core
  keys TRACE COUNT OUT [GAP_MS]  type letter keys into the focused window through XTEST until
                            COUNT of them were accepted, GAP_MS (10) after each key's release;
                            write one latency line per accepted key
  wakeups PID SECONDS       print how often the process's threads woke over SECONDS: context
                            switches (voluntary + involuntary) per second, all threads, the
                            involuntary ones alone, then per thread name
  wait_until T0FILE SECONDS  sleep until SECONDS after the time in T0FILE
  stats FILE COLUMN [SCALE] median, 90th percentile and count of a column (0-based) / SCALE
  stats_many FILE:COLUMN[:SCALE]...  the same for each, one line each (one start of python)
Needs python3 and libX11/libXtst (for keys).
"""
import ctypes
import os
import statistics
import sys
import time


def now_us():
    return time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 1000


def read_trace(path, offset):
    """New complete lines of the present trace from byte offset: (lines, new offset)."""
    try:
        with open(path, "rb") as f:
            f.seek(offset)
            data = f.read()
    except FileNotFoundError:
        return [], offset
    end = data.rfind(b"\n") + 1
    lines = []
    for raw in data[:end].splitlines():
        v = raw.split()
        if len(v) == 9:
            lines.append({"t": int(v[0]), "rects": int(v[1]), "px": int(v[2]), "box": int(v[3]),
                          "inputs": int(v[4]), "input_us": int(v[5]), "input_ticks": int(v[6]),
                          "ticks": int(v[7]), "start_us": int(v[8])})
    return lines, offset + end


def cmd_launch(t0file, exe, *args):
    t0 = now_us()
    with open(t0file, "w") as f:
        f.write(f"{t0}\n")
    os.execv(exe, [exe, *args])


def cmd_first(trace, t0file, timeout):
    deadline = time.monotonic() + float(timeout)
    first = None
    box = None
    offset = 0
    while time.monotonic() < deadline and box is None:
        lines, offset = read_trace(trace, offset)
        for p in lines:
            if first is None:
                first = p
            if box is None and p["box"] == 1:
                box = p
        time.sleep(0.005)
    with open(t0file) as f:
        t0 = int(f.read())
    if first is None or box is None:
        sys.exit("no first frame / start screen in the trace")
    print(f"{(first['t'] - t0) / 1000:.1f} {(box['t'] - t0) / 1000:.1f} {first['px']}")


def cmd_rss(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                print(line.split()[1])
                return
    sys.exit("no VmRSS")


def cpu_sample(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    ticks = int(fields[11]) + int(fields[12])  # utime, stime (fields 14 and 15)
    ns = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                ns += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended meanwhile
    return ticks, ns, time.monotonic_ns()


def cmd_cpu(pid, seconds):
    hz = os.sysconf("SC_CLK_TCK")
    t0, n0, w0 = cpu_sample(pid)
    time.sleep(float(seconds))
    t1, n1, w1 = cpu_sample(pid)
    wall = (w1 - w0) / 1e9
    # ticks used, ticks as % of one core, scheduler ns as % of one core
    print(f"{t1 - t0} {100.0 * (t1 - t0) / hz / wall:.3f} {100.0 * (n1 - n0) / 1e9 / wall:.3f}")


class XTest:
    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xtst = ctypes.CDLL("libXtst.so.6")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x11.XStringToKeysym.restype = ctypes.c_ulong
        self.x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self.x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x11.XFlush.argtypes = [ctypes.c_void_p]
        self.xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self.dpy = self.x11.XOpenDisplay(None)
        if not self.dpy:
            sys.exit("cannot open the X display")

    def code(self, name):
        return self.x11.XKeysymToKeycode(self.dpy, self.x11.XStringToKeysym(name.encode()))

    def key(self, code, down):
        self.xtst.XTestFakeKeyEvent(self.dpy, code, 1 if down else 0, 0)
        self.x11.XFlush(self.dpy)


def cmd_keys(trace, count, out, gap_ms="10"):
    """Letters a..y in turn, one at a time; only an accepted letter changes the
    screen, so a present whose newest input came after a letter was sent and
    before the next one belongs to that letter. Result boxes are closed with
    Return. Each accepted letter gives: xtest->present us, poll->present us,
    SDL ticks ms (event timestamp to present), presented pixels, and the
    present's own share in us (handing the pixels to the display server)."""
    count = int(count)
    x = XTest()
    letters = [x.code(chr(c)) for c in range(ord("a"), ord("y") + 1)]
    ret = x.code("Return")
    offset = 0
    box_up = None
    results = []
    sent = []  # (time us, attributed) of letters sent, in order
    next_letter = 0
    wrong_wait_us = 25000

    def pump():
        nonlocal offset, box_up
        lines, offset = read_trace(trace, offset)
        for p in lines:
            box_up = p["box"] == 1
            if p["box"] or not sent:
                continue
            # the letter whose send time is the newest at or before the newest input
            k = len(sent) - 1
            while k >= 0 and sent[k][0] > p["input_us"]:
                k -= 1
            if k >= 0 and not sent[k][1] and p["input_us"] >= sent[k][0]:
                sent[k][1] = True
                results.append((p["t"] - sent[k][0], p["t"] - p["input_us"], p["ticks"] - p["input_ticks"], p["px"],
                                p["t"] - p["start_us"]))

    deadline = time.monotonic() + 60 + count * 3
    while len(results) < count and time.monotonic() < deadline:
        pump()
        if box_up:
            sent.append([now_us(), True])  # presents after the Return are not a letter's
            x.key(ret, True)
            x.key(ret, False)
            t = time.monotonic()
            while box_up and time.monotonic() - t < 2:
                time.sleep(0.01)
                pump()
            time.sleep(0.05)
            continue
        code = letters[next_letter % len(letters)]
        next_letter += 1
        before = len(results)
        t_send = now_us()
        sent.append([t_send, False])
        x.key(code, True)
        while len(results) == before and now_us() - t_send < wrong_wait_us:
            time.sleep(0.001)
            pump()
        x.key(code, False)
        time.sleep(float(gap_ms) / 1000)  # typing pace: the game is idle again when the next key comes
        pump()
    with open(out, "w") as f:
        for r in results:
            f.write(" ".join(str(v) for v in r) + "\n")
    if len(results) < count:
        sys.exit(f"only {len(results)} accepted keys seen")


def switches(pid):
    """Context switches of every thread of pid by thread id: (name, all, involuntary)."""
    out = {}
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/comm") as f:
                name = f.read().strip()
            count = {}
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:")):
                        count[line.split(":")[0]] = int(line.split()[1])
            out[task] = (name, sum(count.values()), count.get("nonvoluntary_ctxt_switches", 0))
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread that ended meanwhile
    return out


def cmd_wakeups(pid, seconds):
    """A thread that ended during the window is not counted; one that began is
    counted from zero."""
    s0 = switches(pid)
    w0 = time.monotonic()
    time.sleep(float(seconds))
    s1 = switches(pid)
    wall = time.monotonic() - w0
    by_name = {}
    involuntary = 0
    for task, (name, count, inv) in s1.items():
        before = s0.get(task, (name, 0, 0))
        by_name[name] = by_name.get(name, 0) + count - before[1]
        involuntary += inv - before[2]
    total = sum(by_name.values())
    parts = " ".join(f"{name}={n / wall:.1f}" for name, n in sorted(by_name.items(), key=lambda kv: -kv[1]))
    print(f"{total / wall:.1f} (involuntary {involuntary / wall:.1f}) {parts}")


def cmd_wait_until(t0file, seconds):
    with open(t0file) as f:
        t0 = int(f.read())
    left = t0 + float(seconds) * 1e6 - now_us()
    if left > 0:
        time.sleep(left / 1e6)


def cmd_stats(path, column, scale="1"):
    """median, 90th percentile and count of a column, divided by scale"""
    with open(path) as f:
        vals = sorted(float(line.split()[int(column)]) / float(scale) for line in f if line.strip())
    p90 = vals[min(len(vals) - 1, int(0.9 * len(vals)))]
    print(f"{statistics.median(vals):.3g} {p90:.3g} {len(vals)}")


def cmd_stats_many(*wanted):
    for column in wanted:
        cmd_stats(*column.split(":"))


if __name__ == "__main__":
    cmds = {"launch": cmd_launch, "first": cmd_first, "rss": cmd_rss, "cpu": cmd_cpu, "keys": cmd_keys,
            "wakeups": cmd_wakeups, "wait_until": cmd_wait_until, "stats": cmd_stats,
            "stats_many": cmd_stats_many}
    if len(sys.argv) < 2 or sys.argv[1] not in cmds:
        sys.exit(__doc__)
    cmds[sys.argv[1]](*sys.argv[2:])
