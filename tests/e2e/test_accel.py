#!/usr/bin/env python3
"""The accelerator of the real songlark.exe against the stand-in Kazaa, with
the real 20 s timer: button 1017 pressed from outside, the first pass one
period later, what a pass sends and at what pace, Stop, the item delay set to
0 in the option dialog, a later start passing at once, and Kazaa restarted
while accelerated: the next tick finds the new Kazaa's windows and drives
them, where the old handles would leave acceleration idle for ever."""
import os
import subprocess
import time

import winetools

KAZAA_CMD_MAIN = 32896
KAZAA_CMD_PANE = 32959
KAZAA_CMD_ITEM = 32986
VK_HOME = 0x24
VK_DOWN = 0x28
ITEMS = 3


def win_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read_log(path):
    events = []
    if not os.path.exists(path):
        return events
    with open(path) as f:
        for line in f:
            parts = line.split()
            if len(parts) < 3 or parts[1] in ("ready", "closed"):
                continue
            e = {"tick": int(parts[0]), "window": parts[1], "message": parts[2]}
            if len(parts) >= 5:
                e["w"] = int(parts[3])
            for p in parts[5:]:
                if p.startswith("sel="):
                    e["sel"] = int(p[4:])
            events.append(e)
    return events


def pick(events, window, message, w=None):
    return [e for e in events if e["window"] == window and e["message"] == message and (w is None or e.get("w") == w)]


def check_pass(events, first_pane_index, delay_ms):
    """Checks the one pass among these events, which begins at this pane
    command; returns its item commands. The commands are posted and Home is
    sent, so the stand-in may log Home before the pane command: the keys are
    counted over all the events."""
    rest = events[first_pane_index:]
    items = pick(rest, "pane", "WM_COMMAND", KAZAA_CMD_ITEM)[:ITEMS]
    assert len(items) == ITEMS, "pass has %d item commands" % len(items)
    assert len(pick(events, "tree", "WM_KEYDOWN", VK_HOME)) == 1, "one Home per pass"
    assert len(pick(events, "tree", "WM_KEYUP", VK_HOME)) == 1
    assert len(pick(events, "tree", "WM_KEYDOWN", VK_DOWN)) == ITEMS, "one Down per item"
    assert len(pick(events, "tree", "WM_KEYUP", VK_DOWN)) == ITEMS
    assert [e["sel"] for e in items] == list(range(ITEMS)), "rows selected in turn: %s" % items
    gaps = [b["tick"] - a["tick"] for a, b in zip(items, items[1:])]
    if delay_ms:
        assert all(g >= delay_ms - 100 for g in gaps), "items paced %s" % gaps
    else:
        assert all(g < 500 for g in gaps), "no pause between items: %s" % gaps
    assert all(e["window"] not in ("nest1", "nest2") for e in rest), "nothing for the nested windows"
    return items


def start_kazaa(wp, kazaa_exe, log):
    proc = wp.start([kazaa_exe, "--items", str(ITEMS), "--log", win_path(log)])
    assert winetools.wait_for(lambda: os.path.exists(log) and " ready " in open(log).read(), 20), \
        "the stand-in Kazaa did not come up"
    return proc


def stop_kazaa(wp, proc):
    wp.wintool("close", "Kazaa Media Desktop", check=False)
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()


def test(args):
    with winetools.Prefix(args.bin_dir, "accel") as wp:
        exe = winetools.install_exe(args.exe, os.path.join(wp.path, "drive_c", "Songlark"))
        kazaa_exe = os.path.join(args.bin_dir, "tools", "fakekazaa.exe")
        log = os.path.join(wp.path, "kazaa.log")
        debug_out = os.path.join(wp.path, "songlark.stderr")

        kazaa = wp.start([kazaa_exe, "--items", str(ITEMS), "--log", win_path(log)])
        second_log = os.path.join(wp.path, "kazaa-2.log")
        # The debugger output channel carries the passes' "count is N".
        env = dict(wp.env, WINEDEBUG="-all,+debugstr")
        with open(debug_out, "wb") as err:
            proc = subprocess.Popen([winetools.WINE, exe], env=env, stdout=subprocess.DEVNULL, stderr=err)
        try:
            assert wp.wintool("wait", "Peerpal", 30000, check=False).returncode == 0, "no Peerpal window"
            assert winetools.wait_for(lambda: os.path.exists(log) and " ready " in open(log).read(), 20), \
                "the stand-in Kazaa did not come up"

            # First start: discovery at once, the first pass one period later.
            wp.wintool("click", "Peerpal", 1017)
            label = wp.wintool("text", "Peerpal", 1017).stdout.decode()
            assert label == "Stop Acceleration", "button after Start: %r" % label
            assert winetools.wait_for(lambda: pick(read_log(log), "pane", "WM_COMMAND", KAZAA_CMD_PANE), 35), \
                "no pass within 35 s"
            assert winetools.wait_for(
                lambda: len(pick(read_log(log), "pane", "WM_COMMAND", KAZAA_CMD_ITEM)) >= ITEMS, 15), \
                "the first pass did not reach every item: %s" % read_log(log)
            wp.wintool("click", "Peerpal", 1017)  # Stop, before the next tick
            label = wp.wintool("text", "Peerpal", 1017).stdout.decode()
            assert label == "Start Acceleration", "button after Stop: %r" % label
            time.sleep(1.5)

            ev = read_log(log)
            mains = pick(ev, "main", "WM_COMMAND", KAZAA_CMD_MAIN)
            panes = pick(ev, "pane", "WM_COMMAND", KAZAA_CMD_PANE)
            assert len(mains) == 2 and len(panes) == 1, "discovery plus one pass: %s" % ev
            first_delay = panes[0]["tick"] - mains[0]["tick"]
            print("first pass %.2f s after the press" % (first_delay / 1000.0))
            assert 19500 <= first_delay <= 25000, "first pass after %d ms" % first_delay
            items = check_pass(ev, ev.index(panes[0]), 1000)
            print("pass over %d items took %.2f s" % (ITEMS, (items[-1]["tick"] - panes[0]["tick"]) / 1000.0))

            # The item delay set to 0 in the option dialog.
            wp.wintool("post-click", "Peerpal", 1018)
            assert wp.wintool("wait", "Option", 10000, check=False).returncode == 0, "no Option dialog"
            delay = wp.wintool("text", "Option", 1005).stdout.decode()
            assert delay == "1", "item delay shown: %r" % delay
            wp.wintool("settext", "Option", 1005, "0")
            wp.wintool("click", "Option", 1002)
            assert wp.wintool("gone", "Option", 5000, check=False).returncode == 0, "Apply did not close it"

            # A later start passes at once.
            before = len(ev)
            wp.wintool("click", "Peerpal", 1017)
            assert winetools.wait_for(
                lambda: len(pick(read_log(log)[before:], "pane", "WM_COMMAND", KAZAA_CMD_ITEM)) >= ITEMS, 10), \
                "no immediate pass on the second start"
            wp.wintool("click", "Peerpal", 1017)
            ev2 = read_log(log)[before:]
            discovery = pick(ev2, "main", "WM_COMMAND", KAZAA_CMD_MAIN)[0]
            pane2 = pick(ev2, "pane", "WM_COMMAND", KAZAA_CMD_PANE)[0]
            assert pane2["tick"] - discovery["tick"] < 2000, "second start's pass after %d ms" % (
                pane2["tick"] - discovery["tick"])
            check_pass(ev2, ev2.index(pane2), 0)

            # Kazaa closed and started again while accelerated, after a start's
            # pass and before the next tick: its windows are new ones.
            before = len(read_log(log))
            wp.wintool("click", "Peerpal", 1017)
            assert winetools.wait_for(
                lambda: len(pick(read_log(log)[before:], "pane", "WM_COMMAND", KAZAA_CMD_ITEM)) >= ITEMS, 10), \
                "no immediate pass on the third start"
            stop_kazaa(wp, kazaa)
            assert wp.wintool("gone", "Kazaa Media Desktop", 10000, check=False).returncode == 0
            kazaa = start_kazaa(wp, kazaa_exe, second_log)
            assert winetools.wait_for(
                lambda: len(pick(read_log(second_log), "pane", "WM_COMMAND", KAZAA_CMD_ITEM)) >= ITEMS, 40), \
                "the restarted Kazaa was not driven: %s" % read_log(second_log)
            assert pick(read_log(second_log), "pane", "WM_COMMAND", KAZAA_CMD_PANE), read_log(second_log)
            print("the restarted Kazaa was found and driven")
            wp.wintool("click", "Peerpal", 1017)

            wp.wintool("close", "Peerpal")
            proc.wait(timeout=20)
            with open(debug_out, "rb") as f:
                text = f.read().decode(errors="replace")
            assert text.count("count is %d" % ITEMS) >= 2, "debugger output: %r" % text[-2000:]
        finally:
            if proc.poll() is None:
                proc.kill()
            stop_kazaa(wp, kazaa)


if __name__ == "__main__":
    winetools.main(test)
